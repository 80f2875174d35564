#include "platform/DesktopShell.h"
