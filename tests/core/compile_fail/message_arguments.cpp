// SPDX-License-Identifier: GPL-3.0-or-later
// Calls that must not compile: each QP_CASE_* but the first gives a code arguments its layout does not take.
// The core tests compile it once per case; QP_CASE_right shows the file builds when the kinds are right.
#include "core/fault.h"

void raise(qp::FaultHeader& object) {
#if defined(QP_CASE_right)
    qp::report(object, qp::ErrorCode::CannotOpenFile, "book.html");
    qp::report(object, qp::InfoCode::RecordCount, 12);
    qp::report(object, qp::ErrorCode::BadTagName, 3, "book.html", "p");
#elif defined(QP_CASE_number_for_text)
    qp::report(object, qp::ErrorCode::CannotOpenFile, 12);
#elif defined(QP_CASE_text_for_number)
    qp::report(object, qp::InfoCode::RecordCount, "book.html");
#elif defined(QP_CASE_extra_argument)
    qp::report(object, qp::ErrorCode::NotEnoughMemory, "book.html");
#endif
}
