// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Giving memory that nothing uses back to the system.

namespace qp {

// Hands the free memory the allocator keeps back to the system. The allocator returns only what lies at the
// top of its heap; a stage that built many small structures and dropped them leaves its pages in the middle.
// A stage that follows with large buffers of its own calls this first, so that the process's peak does not
// hold both.
void returnFreeMemory();

}  // namespace qp
