// SPDX-License-Identifier: MIT
#include "platform/FreeMemory.h"

#include <cstdlib> // defines __GLIBC__ on glibc

#if defined(__GLIBC__)
#include <malloc.h>
#endif

void returnFreeMemory()
{
#if defined(__GLIBC__)
    malloc_trim(0);
#endif
}
