#include "host/win32/host_state.h"

HostState hostState;
