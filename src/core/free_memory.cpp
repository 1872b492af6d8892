// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/free_memory.h"

#include <cstdlib>  // defines __GLIBC__ with the C library that has malloc_trim

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace qp {

void returnFreeMemory() {
#if defined(__GLIBC__)
    malloc_trim(0);
#endif
}

}  // namespace qp
