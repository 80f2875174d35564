#include "net/Scheduler.h"
