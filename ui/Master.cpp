#include "ui/Master.h"
