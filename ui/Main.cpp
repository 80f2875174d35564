#include "ui/Main.h"
