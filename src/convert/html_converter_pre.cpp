// SPDX-License-Identifier: GPL-3.0-or-later
#include "convert/html_converter_pre.h"

namespace qp {

void PreformattedText::rewrite(std::string_view text, std::string& out) {
    for (char c : text) {
        switch (c) {
            case '\n':
                out.append("<br/>");
                lineStart_ = true;
                afterPlainSpace_ = false;
                break;
            case '\r': break;
            case '\t':
                out.append("&nbsp; &nbsp; ");
                lineStart_ = false;
                afterPlainSpace_ = true;
                break;
            case ' ':
                if (lineStart_ || afterPlainSpace_) {
                    out.append("&nbsp;");
                    afterPlainSpace_ = false;
                } else {
                    out.push_back(' ');
                    afterPlainSpace_ = true;
                }
                lineStart_ = false;
                break;
            default:
                out.push_back(c);
                lineStart_ = false;
                afterPlainSpace_ = false;
                break;
        }
    }
}

}  // namespace qp
