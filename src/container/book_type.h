// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Book type codes of record 0, chosen from the output content type a package asks for.
#include <cstdint>
#include <string_view>

namespace qp {

namespace book_type {
constexpr uint32_t kBook = 2;
constexpr uint32_t kAudio = 4;
constexpr uint32_t kImage = 513;
constexpr uint32_t kPlainText = 517;
}  // namespace book_type

// The code of a content type (compared case-blind on A-Z); `known` false for a type the table lacks, which
// gives an ordinary book.
uint32_t bookTypeOfContentType(std::string_view contentType, bool& known);

}  // namespace qp
