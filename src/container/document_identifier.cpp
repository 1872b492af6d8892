// SPDX-License-Identifier: GPL-3.0-or-later
#include "container/document_identifier.h"

#include "core/char_table.h"

namespace qp {

namespace {

constexpr uint16_t kCategoryUpper = 0;
constexpr uint16_t kCategoryLower = 1;
constexpr uint16_t kCategoryDigit = 6;
constexpr size_t kHeadKept = 12;
constexpr size_t kTailKept = 14;

bool isLetterOrDigit(char16_t ch) {
    uint16_t category = charCategory(ch);
    return category == kCategoryUpper || category == kCategoryLower || category == kCategoryDigit;
}

// The Windows-1252 byte of an identifier character, or -1 when it has none.
int identifierByte(char16_t ch) {
    if (ch == ' ') return '_';
    if (ch > 256) return 'A' + ch % 26;
    if (ch == '-' || ch == '.' || ch == '_') return ch;
    if (!isLetterOrDigit(ch)) return -1;
    uint16_t base = charBase(ch);
    int mapped = base != 0 ? windows1252Byte(base) : -1;
    return mapped >= 0 ? mapped : windows1252Byte(ch);
}

}  // namespace

std::string documentIdentifier(std::u16string_view name) {
    std::string identifier;
    for (char16_t ch : name) {
        int byte = identifierByte(ch);
        if (byte >= 0) identifier.push_back(static_cast<char>(byte));
    }
    if (identifier.size() > kDocumentIdentifierLimit)
        identifier = identifier.substr(0, kHeadKept) + "-" + identifier.substr(identifier.size() - kTailKept);
    return identifier;
}

}  // namespace qp
