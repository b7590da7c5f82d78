// SPDX-License-Identifier: MIT
#pragma once
// Hands the heap's free pages back to the system. A dialog or a note costs a few hundred
// kilobytes of heap while it shows; freed, the allocator would keep them for good.
void returnFreeMemory();
