#include "towns/Selection.h"
