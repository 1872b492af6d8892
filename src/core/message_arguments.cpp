// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/message_arguments.h"

#include "core/string.h"
#include "core/unicode.h"

namespace qp {

MessageText::MessageText(const String& text) : MessageText(text.toUtf16()) {}

MessageText::MessageText(std::string_view utf8) : MessageText(utf8ToUtf16(utf8)) {}

MessageText::MessageText(std::u16string text) {
    if (text.size() > kMaxChars) {
        // Cut between characters: a surrogate pair split in two would print as invalid UTF-8.
        size_t cut = kMaxChars;
        if (text[cut - 1] >= 0xD800 && text[cut - 1] <= 0xDBFF) --cut;
        text.resize(cut);
    }
    text_ = std::make_shared<const std::u16string>(std::move(text));
}

const std::u16string& MessageText::text() const {
    static const std::u16string kAbsent;
    return text_ ? *text_ : kAbsent;
}

}  // namespace qp
