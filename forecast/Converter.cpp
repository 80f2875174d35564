#include "forecast/Converter.h"
