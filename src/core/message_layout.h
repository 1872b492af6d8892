#pragma once
// Shared by the message sink's files: code ranges and the UTF-8 reading of the table texts.
#include <initializer_list>
#include <string>
#include <string_view>

namespace qp::messages {

struct CodeRange {
    int first;
    int last;
};

inline bool inRanges(int code, std::initializer_list<CodeRange> ranges) {
    for (const CodeRange& range : ranges)
        if (code >= range.first && code <= range.last) return true;
    return false;
}

// UTF-8 to UTF-16; a malformed byte becomes U+FFFD.
std::u16string utf8ToUtf16(std::string_view utf8);

}  // namespace qp::messages
