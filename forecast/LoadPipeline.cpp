#include "forecast/LoadPipeline.h"
