// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Numbering of ordered lists: each `li` of an `ol` without its own `value` gets the list's counter, so the
// reader shows the numbers the source meant (`start`, explicit values, nested lists).
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace qp {

class ListNumbering {
public:
    // An `ol` (counter from its `start` attribute, else 1) or a `ul`.
    void open(bool ordered, std::string_view start);
    void close();
    // For an `li`: the value to write when it has none of its own; an `li` with its own value sets the counter
    // to follow it. Nothing outside an ordered list.
    std::optional<int64_t> itemValue(std::optional<std::string_view> ownValue);
    void clear() { levels_.clear(); }

private:
    struct Level {
        bool ordered;
        int64_t counter;
    };
    std::vector<Level> levels_;
};

// A decimal attribute value (blanks around it allowed), or nothing.
std::optional<int64_t> parseDecimal(std::string_view text);

}  // namespace qp
