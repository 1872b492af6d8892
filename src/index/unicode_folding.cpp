// SPDX-License-Identifier: GPL-3.0-or-later
#include "index/unicode_folding.h"

#include <unicode/normalizer2.h>
#include <unicode/uchar.h>
#include <unicode/unistr.h>

namespace qp {

namespace {

bool isCombiningMark(UChar32 c) { return c >= 0x0300 && c <= 0x036F; }

}  // namespace

char16_t foldCharacter(char16_t character) {
    if (isCombiningMark(character) || u_iscntrl(character)) return 0;
    UErrorCode status = U_ZERO_ERROR;
    const icu::Normalizer2* nfd = icu::Normalizer2::getNFDInstance(status);
    UChar32 base = character;
    if (U_SUCCESS(status)) {
        icu::UnicodeString decomposed;
        nfd->normalize(icu::UnicodeString(static_cast<UChar>(character)), decomposed, status);
        if (U_SUCCESS(status) && decomposed.length() > 0) {
            bool marksOnly = true;
            for (int32_t i = decomposed.moveIndex32(0, 1); i < decomposed.length(); i = decomposed.moveIndex32(i, 1))
                marksOnly = marksOnly && isCombiningMark(decomposed.char32At(i));
            if (marksOnly) base = decomposed.char32At(0);
        }
    }
    const UChar32 lower = u_tolower(base);
    return lower <= 0xFFFF ? static_cast<char16_t>(lower) : character;
}

}  // namespace qp
