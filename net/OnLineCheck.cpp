#include "net/OnLineCheck.h"
