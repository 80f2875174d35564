#include "platform/QtSoundPlayer.h"
