#include "forecast/EnglishFileName.h"
