// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/string.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <string>
#include <utility>

#include "core/code_pages.h"
#include "core/unicode.h"

namespace qp {

namespace {

constexpr size_t kTerminatorBytes = 2;  // room for a 16-bit zero behind the text
constexpr size_t kAppendSlack = 22;     // extra bytes taken when an append outgrows the buffer

uint32_t foldAsciiCase(uint32_t ch) { return ch >= 'A' && ch <= 'Z' ? ch - 'A' + 'a' : ch; }

}  // namespace

String::String(std::u16string_view utf16) { assignUtf16(utf16); }

String::String(std::string_view text, int32_t codePage) {
    if (codePage == kCodePageUtf16) {
        report(*this, ErrorCode::StringUnknown);
        return;
    }
    assignBytes(text.data(), text.size(), kindOfCodePage(codePage), codePage);
}

String String::fromBytes(const void* data, size_t size) {
    String result;
    if (data == nullptr && size != 0) {
        report(result, ErrorCode::StringSelfCheckFailed);
        return result;
    }
    result.assignBytes(data, size, TextKind::Raw, kCodePageUnset);
    return result;
}

String String::fromUtf8(std::string_view utf8) { return String(utf8, kCodePageUtf8); }

String::String(const String& other) {
    messages = other.messages;
    assignBytes(other.buffer_, other.length_, other.kind_, other.codePage_);
    context = other.context;
}

String& String::operator=(const String& other) {
    if (this == &other) return *this;
    if (assignBytes(other.buffer_, other.length_, other.kind_, other.codePage_)) {
        context = other.context;
        messages = other.messages;
    }
    return *this;
}

String::String(String&& other) noexcept { *this = std::move(other); }

String& String::operator=(String&& other) noexcept {
    if (this == &other) return *this;
    release();
    static_cast<FaultHeader&>(*this) = other;
    context = other.context;
    kind_ = other.kind_;
    codePage_ = other.codePage_;
    capacity_ = other.capacity_;
    length_ = other.length_;
    buffer_ = other.buffer_;
    other.buffer_ = nullptr;
    other.clear();
    return *this;
}

String::~String() { release(); }

void String::release() {
    delete[] buffer_;
    buffer_ = nullptr;
    capacity_ = length_ = 0;
}

void String::clear() {
    release();
    MessageSink* const keptSink = messages;
    static_cast<FaultHeader&>(*this) = FaultHeader();
    messages = keptSink;
    kind_ = TextKind::Raw;
    codePage_ = kCodePageUnset;
    context = std::nullopt;
}

bool String::reserve(size_t bytes) {
    if (bytes <= capacity_) return true;
    auto* grown = new (std::nothrow) uint8_t[bytes];
    if (grown == nullptr) {
        report(*this, ErrorCode::StringAllocationFailed, context);
        return false;
    }
    std::memset(grown, 0, bytes);
    if (buffer_ != nullptr) {
        std::memcpy(grown, buffer_, length_);
        delete[] buffer_;
    }
    buffer_ = grown;
    capacity_ = bytes;
    return true;
}

bool String::assignBytes(const void* data, size_t size, TextKind kind, int32_t codePage) {
    uint8_t* fresh = nullptr;
    if (size > 0) {
        fresh = new (std::nothrow) uint8_t[size + kTerminatorBytes];
        if (fresh == nullptr) {
            report(*this, ErrorCode::StringAllocationFailed, context);
            return false;
        }
        std::memcpy(fresh, data, size);
        fresh[size] = fresh[size + 1] = 0;
    }
    release();
    buffer_ = fresh;
    capacity_ = fresh ? size + kTerminatorBytes : 0;
    length_ = size;
    kind_ = kind;
    codePage_ = codePage;
    return true;
}

bool String::assignUtf16(std::u16string_view units) {
    std::string bytes;
    try {
        bytes.resize(units.size() * 2);
    } catch (const std::bad_alloc&) {
        report(*this, ErrorCode::StringAllocationFailed, context);
        return false;
    }
    for (size_t i = 0; i < units.size(); ++i) {
        bytes[2 * i] = static_cast<char>(units[i] & 0xFF);
        bytes[2 * i + 1] = static_cast<char>(units[i] >> 8);
    }
    return assignBytes(bytes.data(), bytes.size(), TextKind::Utf16, kCodePageUtf16);
}

std::string_view String::bytes() const {
    return buffer_ ? std::string_view(reinterpret_cast<const char*>(buffer_), length_) : std::string_view();
}

// --- Appending ---

bool String::appendRaw(const void* data, size_t size) {
    if (size == 0) return true;
    size_t needed = length_ + size;
    if (needed + kTerminatorBytes > capacity_ && !reserve(needed + kAppendSlack)) return false;
    std::memcpy(buffer_ + length_, data, size);
    length_ = needed;
    buffer_[length_] = buffer_[length_ + 1] = 0;
    return true;
}

bool String::append(const void* data, size_t size, int32_t codePage) {
    if (data == nullptr && size != 0) {
        report(*this, ErrorCode::StringSelfCheckFailed, context);
        return false;
    }
    if (length_ == 0) {
        if (codePage != kCodePageUnset || size != 0) declareCodePage(codePage);
    } else if (size == 0) {
        return true;
    } else if (codePage != codePage_ &&
               !(kind_ == TextKind::Utf16 && codePage_ == kCodePageUnset && codePage == kCodePageUtf16)) {
        report(*this, ErrorCode::IncoherentEncodings, context);
        return false;
    }
    return appendRaw(data, size);
}

bool String::append(const String& other) {
    if (&other == this) {
        String copy(other);
        return append(copy);
    }
    return append(other.bytes(), other.codePage_);
}

// --- Characters ---

size_t String::charLengthAt(size_t offset, bool& supported) const {
    supported = true;
    if (offset >= length_) return 0;
    const uint8_t first = buffer_[offset];
    switch (kind_) {
        case TextKind::Utf16: return 2;
        case TextKind::Raw:
        case TextKind::SingleByte: return 1;
        case TextKind::MultiByte: break;
    }
    switch (codePage_) {
        case 932: return (first >= 0x81 && first <= 0x9F) || (first >= 0xE0 && first <= 0xFC) ? 2 : 1;
        case 936: return first >= 0xA1 && first <= 0xFE ? 2 : 1;
        case 949:
        case 950: return first >= 0x81 && first <= 0xFE ? 2 : 1;
        case 51932:
            if (first == 0x8F) return 3;
            return first == 0x8E || (first >= 0xA1 && first <= 0xFE) ? 2 : 1;
        case kCodePageUtf8: return utf8SequenceLength(first);
        default: supported = false; return 1;
    }
}

uint32_t String::decodeChar(size_t offset, size_t end, size_t& bytes) const {
    bool supported = true;
    const size_t available = end > offset ? end - offset : 0;
    const size_t full = charLengthAt(offset, supported);
    bytes = std::min(full, available);
    if (bytes == 0) return 0;
    const uint8_t* p = buffer_ + offset;
    if (kind_ == TextKind::Utf16) return bytes == 2 ? static_cast<uint32_t>(p[0] | (p[1] << 8)) : p[0];
    if (bytes < full) {
        // A character cut off by the end of the text.
        bytes = 1;
        return codePage_ == kCodePageUtf8 ? 0xFFFD : p[0];
    }
    if (bytes == 1) return codePage_ == kCodePageUtf8 && p[0] >= 0x80 ? 0xFFFD : p[0];
    if (codePage_ != kCodePageUtf8) return bytes == 3 ? (p[1] << 8) | p[2] : (p[0] << 8) | p[1];
    // UTF-8: a sequence cut short by a bad continuation byte yields U+FFFD for its first byte alone.
    uint32_t codePoint = p[0] & (0x7F >> bytes);
    for (size_t k = 1; k < bytes; ++k) {
        if ((p[k] & 0xC0) != 0x80) {
            bytes = 1;
            return 0xFFFD;
        }
        codePoint = (codePoint << 6) | (p[k] & 0x3F);
    }
    return codePoint;
}

// --- Comparison ---

int String::compare(const String& other, bool exactCase, bool prefix) const {
    size_t a = 0;
    size_t b = 0;
    for (;;) {
        bool endA = a >= length_;
        bool endB = b >= other.length_;
        if (endA || endB) {
            if (prefix || (endA && endB)) return 0;
            return endA ? -1 : 1;
        }
        size_t bytesA = 0;
        size_t bytesB = 0;
        uint32_t chA = decodeChar(a, length_, bytesA);
        uint32_t chB = other.decodeChar(b, other.length_, bytesB);
        if (!exactCase) {
            chA = foldAsciiCase(chA);
            chB = foldAsciiCase(chB);
        }
        if (chA != chB) return chA < chB ? -1 : 1;
        a += bytesA;
        b += bytesB;
    }
}

bool String::equalsAscii(std::string_view ascii, bool exactCase) const {
    size_t offset = 0;
    for (char c : ascii) {
        if (offset >= length_) return false;
        size_t bytes = 0;
        uint32_t ch = decodeChar(offset, length_, bytes);
        auto expected = static_cast<uint32_t>(static_cast<uint8_t>(c));
        if (exactCase ? ch != expected : foldAsciiCase(ch) != foldAsciiCase(expected)) return false;
        offset += bytes;
    }
    return offset >= length_;
}

bool String::findLast(char16_t first, char16_t second, size_t& position, size_t& bytes) const {
    bool found = false;
    for (size_t offset = 0; offset < length_;) {
        size_t length = 0;
        uint32_t ch = decodeChar(offset, length_, length);
        if (ch == first || ch == second) {
            position = offset;
            bytes = length;
            found = true;
        }
        offset += std::max<size_t>(length, 1);
    }
    return found;
}

String String::slice(size_t begin, size_t end) const {
    String result;
    result.assignBytes(buffer_ ? buffer_ + begin : nullptr, end - begin, kind_, codePage_);
    result.context = context;
    return result;
}

}  // namespace qp
