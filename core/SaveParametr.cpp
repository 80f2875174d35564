#include "core/SaveParametr.h"
