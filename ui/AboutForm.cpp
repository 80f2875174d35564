#include "ui/AboutForm.h"
