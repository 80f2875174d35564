#include "ui/MessageBoxUi.h"
