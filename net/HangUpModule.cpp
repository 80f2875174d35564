#include "net/HangUpModule.h"
