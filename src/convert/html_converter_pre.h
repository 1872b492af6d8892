// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Preformatted text rewritten into markup the reader keeps as laid out: a line feed becomes "<br/>", a
// carriage return is dropped, a tab becomes "&nbsp; &nbsp; ", and a run of spaces alternates plain spaces and
// "&nbsp;" (starting with "&nbsp;" at the start of a line), so that no two plain spaces meet.
#include <string>
#include <string_view>

namespace qp {

class PreformattedText {
public:
    // A new `pre` element starts on a fresh line.
    void start() {
        lineStart_ = true;
        afterPlainSpace_ = false;
    }
    // Appends the rewritten bytes (any ASCII-compatible encoding) to `out`.
    void rewrite(std::string_view text, std::string& out);

private:
    bool lineStart_ = true;
    bool afterPlainSpace_ = false;
};

}  // namespace qp
