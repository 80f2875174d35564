#include "towns/Base.h"
