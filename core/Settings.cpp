#include "core/Settings.h"
