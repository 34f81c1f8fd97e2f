#include "logo/surface_size.h"

int32_t surfaceWidth = 0;
int32_t surfaceHeight = 0;
