#include "core/FileSystemObject.h"
