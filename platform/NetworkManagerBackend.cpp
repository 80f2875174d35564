#include "platform/NetworkManagerBackend.h"
