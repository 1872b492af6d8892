// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Text of a content file written in the book's encoding (1252 or UTF-8). A character that the book's code page
// cannot hold is written as a numeric character reference ("&#8364;"), so that nothing is lost; the converter
// reports that once per file.
#include <cstdint>
#include <string>
#include <string_view>

namespace qp {

class TextEncoder {
public:
    explicit TextEncoder(int32_t targetCodePage) : target_(targetCodePage) {}

    // The code page of the bytes given to append() from now on; clears the lost-character mark.
    void startFile(int32_t sourceCodePage);
    // Appends bytes of the source code page, in the target encoding.
    void append(std::string_view bytes, std::string& out);
    // Appends UTF-8 text (style sheet output), in the target encoding.
    void appendUtf8(std::string_view utf8, std::string& out);
    // Characters were written as references since startFile().
    bool introducedReferences() const { return introducedReferences_; }

private:
    void appendConverted(int32_t sourceCodePage, std::string_view bytes, std::string& out);
    void appendWestern(uint32_t codePoint, std::string& out);

    int32_t target_;
    int32_t source_ = 1252;
    bool introducedReferences_ = false;
};

}  // namespace qp
