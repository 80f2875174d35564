#include "platform/CurlFetcher.h"
