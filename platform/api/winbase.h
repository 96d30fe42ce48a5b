// Kernel services: time (files, errors and versions arrive with the platform).
#pragma once

#include "windef.h"

// Milliseconds of the device clock.
DWORD GetTickCount();
