#include "forecast/Down.h"
