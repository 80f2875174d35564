#include "ui/InterFace.h"
