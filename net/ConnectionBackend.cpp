#include "net/ConnectionBackend.h"
