#include "forecast/CopyView.h"
