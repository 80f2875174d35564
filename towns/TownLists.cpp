#include "towns/TownLists.h"
