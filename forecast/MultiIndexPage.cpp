#include "forecast/MultiIndexPage.h"
