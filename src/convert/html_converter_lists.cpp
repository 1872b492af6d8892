// SPDX-License-Identifier: GPL-3.0-or-later
#include "convert/html_converter_lists.h"

#include <charconv>

namespace qp {

std::optional<int64_t> parseDecimal(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    int64_t value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || text.empty()) return std::nullopt;
    return value;
}

void ListNumbering::open(bool ordered, std::string_view start) {
    levels_.push_back({ordered, ordered ? parseDecimal(start).value_or(1) : -1});
}

void ListNumbering::close() {
    if (!levels_.empty()) levels_.pop_back();
}

std::optional<int64_t> ListNumbering::itemValue(std::optional<std::string_view> ownValue) {
    if (levels_.empty() || !levels_.back().ordered) return std::nullopt;
    Level& level = levels_.back();
    if (ownValue) {
        if (std::optional<int64_t> value = parseDecimal(*ownValue)) level.counter = *value + 1;
        return std::nullopt;
    }
    return level.counter++;
}

}  // namespace qp
