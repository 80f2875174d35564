#include "ui/Options.h"
