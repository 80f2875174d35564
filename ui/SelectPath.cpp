#include "ui/SelectPath.h"
