#include "platform/XdgAutostart.h"
