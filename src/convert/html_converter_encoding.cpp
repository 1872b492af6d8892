// SPDX-License-Identifier: GPL-3.0-or-later
#include "convert/html_converter_encoding.h"

#include <algorithm>

#include "core/code_pages.h"
#include "core/string.h"
#include "core/unicode.h"

namespace qp {

namespace {

bool isAscii(std::string_view bytes) {
    return std::all_of(bytes.begin(), bytes.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

}  // namespace

void TextEncoder::startFile(int32_t sourceCodePage) {
    source_ = sourceCodePage;
    introducedReferences_ = false;
}

void TextEncoder::append(std::string_view bytes, std::string& out) {
    if (source_ == target_ || isAscii(bytes)) {
        out.append(bytes);
        return;
    }
    appendConverted(source_, bytes, out);
}

void TextEncoder::appendUtf8(std::string_view utf8, std::string& out) {
    if (target_ == kCodePageUtf8 || isAscii(utf8)) {
        out.append(utf8);
        return;
    }
    appendConverted(kCodePageUtf8, utf8, out);
}

void TextEncoder::appendConverted(int32_t sourceCodePage, std::string_view bytes, std::string& out) {
    std::u16string units;
    decodeToUtf16(sourceCodePage == kCodePageUnset ? kCodePageSystemDefault : sourceCodePage, bytes, units);
    for (size_t i = 0; i < units.size();) {
        const uint32_t codePoint = nextCodePoint(units, i);
        if (target_ == kCodePageUtf8)
            qp::appendUtf8(codePoint, out);
        else
            appendWestern(codePoint, out);
    }
}

void TextEncoder::appendWestern(uint32_t codePoint, std::string& out) {
    if (codePoint < 0x80 || (codePoint >= 0xA0 && codePoint <= 0xFF)) {
        out.push_back(static_cast<char>(codePoint));
        return;
    }
    if (codePoint < 0x10000) {
        std::string single;
        EncodeResult result =
            encodeFromUtf16(kCodePageWestern, std::u16string(1, static_cast<char16_t>(codePoint)), single);
        if (result.supported && !result.lossy && single.size() == 1) {
            out.append(single);
            return;
        }
    }
    out.append("&#").append(std::to_string(codePoint)).push_back(';');
    introducedReferences_ = true;
}

}  // namespace qp
