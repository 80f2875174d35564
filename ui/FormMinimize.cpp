#include "ui/FormMinimize.h"
