// SPDX-License-Identifier: GPL-3.0-or-later
#include <cstring>
#include <new>
#include <string>

#include "core/code_pages.h"
#include "core/string.h"

namespace qp {

namespace {

std::u16string unitsOfUtf16Bytes(std::string_view bytes) {
    std::u16string units(bytes.size() / 2, u'\0');
    for (size_t i = 0; i < units.size(); ++i)
        units[i] =
            static_cast<char16_t>(static_cast<uint8_t>(bytes[2 * i]) | (static_cast<uint8_t>(bytes[2 * i + 1]) << 8));
    return units;
}

// The code page raw bytes and unset encodings are read in.
int32_t effectiveCodePage(TextKind kind, int32_t codePage) {
    return kind == TextKind::Raw || codePage == kCodePageUnset ? kCodePageSystemDefault : codePage;
}

}  // namespace

TextKind kindOfCodePage(int32_t codePage) {
    switch (codePage) {
        case kCodePageUnset: return TextKind::Raw;
        case kCodePageUtf16: return TextKind::Utf16;
        case 932:
        case 936:
        case 949:
        case 950:
        case 50220:
        case 51932:
        case 52936:
        case 65000:
        case kCodePageUtf8: return TextKind::MultiByte;
        default: return TextKind::SingleByte;
    }
}

void String::declareCodePage(int32_t codePage) {
    kind_ = kindOfCodePage(codePage);
    codePage_ = codePage;
}

bool String::convertTo(int32_t codePage) {
    const TextKind target = kindOfCodePage(codePage);
    if (target == kind_ && codePage == codePage_) return true;
    if (kind_ == TextKind::Raw || codePage == kCodePageUnset) {
        report(*this, ErrorCode::EncodingNotSupported, context);
        return false;
    }
    try {
        std::u16string units;
        if (kind_ == TextKind::Utf16) {
            units = unitsOfUtf16Bytes(bytes());
        } else {
            DecodeResult decoded = decodeToUtf16(codePage_, bytes(), units);
            if (!decoded.supported || decoded.invalid > 0) report(*this, ErrorCode::UnicodeConversionFailed, context);
            if (!decoded.supported) {
                units.clear();
                decoded = decodeToUtf16(kCodePageSystemDefault, bytes(), units);
            }
            if (decoded.lossy) report(*this, WarningCode::InexactConversion, context);
        }
        bool ok = true;
        if (target == TextKind::Utf16) {
            ok = assignUtf16(units);
        } else {
            std::string encoded;
            EncodeResult result = encodeFromUtf16(codePage, units, encoded);
            if (!result.supported) {
                report(*this, ErrorCode::EncodingNotSupported, context);
                ok = false;
            } else {
                if (result.lossy) report(*this, WarningCode::InexactConversion, context);
                ok = assignBytes(encoded.data(), encoded.size(), target, codePage);
            }
        }
        return ok;
    } catch (const std::bad_alloc&) {
        report(*this, ErrorCode::StringAllocationFailed, context);
        return false;
    }
}

std::u16string String::toUtf16() const {
    std::u16string units;
    try {
        if (kind_ == TextKind::Utf16) return unitsOfUtf16Bytes(bytes());
        DecodeResult decoded = decodeToUtf16(effectiveCodePage(kind_, codePage_), bytes(), units);
        if (!decoded.supported) {
            units.clear();
            decodeToUtf16(kCodePageSystemDefault, bytes(), units);
        }
    } catch (const std::bad_alloc&) {
        units.clear();
    }
    return units;
}

std::string String::toUtf8() const {
    std::string utf8;
    try {
        if (codePage_ == kCodePageUtf8) return std::string(bytes());
        std::u16string units = toUtf16();
        encodeFromUtf16(kCodePageUtf8, units, utf8);
    } catch (const std::bad_alloc&) {
        utf8.clear();
    }
    return utf8;
}

}  // namespace qp
