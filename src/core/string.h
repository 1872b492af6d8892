// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// String: a byte buffer with its encoding (raw, single-byte code page, UTF-16LE, multi-byte code page).
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/fault.h"

namespace qp {

enum class TextKind : uint32_t { Raw = 0, SingleByte = 1, Utf16 = 2, MultiByte = 3 };

constexpr int32_t kCodePageUnset = -1;
constexpr int32_t kCodePageUtf16 = 65002;  // marks UTF-16 little-endian text
constexpr int32_t kCodePageUtf8 = 65001;
constexpr int32_t kCodePageAscii = 20105;
constexpr int32_t kCodePageWestern = 1252;
// The system's ANSI code page on this platform.
constexpr int32_t kCodePageSystemDefault = 1252;

// The kind a code page implies.
TextKind kindOfCodePage(int32_t codePage);
// Code page of a charset name from the charset table (case-blind on A-Z), or kCodePageUnset.
int32_t codePageOfCharset(std::string_view name);

class String : public FaultHeader {
public:
    String() = default;
    // UTF-16 text (kind 2, code page 65002), copied without terminator.
    explicit String(std::u16string_view utf16);
    // 8-bit text with its code page; code page 65002 here is `StringUnknown`.
    String(std::string_view text, int32_t codePage);
    // Raw bytes: kind 0, code page unset.
    static String fromBytes(const void* data, size_t size);
    // UTF-8 text (code page 65001): how this platform's paths and console text come in.
    static String fromUtf8(std::string_view utf8);

    // Copies take the text with its kind, code page and context, and report where the original does.
    String(const String& other);
    String& operator=(const String& other);
    String(String&& other) noexcept;
    String& operator=(String&& other) noexcept;
    ~String();

    // Frees the buffer and resets every field but the sink.
    void clear();

    TextKind kind() const { return kind_; }
    int32_t codePage() const { return codePage_; }
    bool empty() const { return length_ == 0; }
    size_t length() const { return length_; }
    const uint8_t* data() const { return buffer_; }
    std::string_view bytes() const;

    // The file the text came from, named in its messages (absent when it came from none).
    MessageText context = std::nullopt;

    // --- Encoding ---
    // Converts the text (through UTF-16) to the kind the code page implies: `EncodingNotSupported` or
    // `UnicodeConversionFailed` when it cannot, `InexactConversion` when lossy. Undecodable sequences become
    // U+FFFD (`UnicodeConversionFailed`); a code page the converter does not know is that error too and the text
    // is read as Windows-1252 instead; characters the target lacks become '?' (`InexactConversion`).
    bool convertTo(int32_t codePage);
    // Sets kind and code page without touching the bytes (for text whose encoding becomes known later).
    void declareCodePage(int32_t codePage);
    // The text as UTF-8 / UTF-16 (converted copies; the object is unchanged).
    std::string toUtf8() const;
    std::u16string toUtf16() const;

    // --- Appending ---
    // Bytes in the given code page; an empty string takes the code page, otherwise it must match
    // (`IncoherentEncodings`).
    bool append(const void* data, size_t size, int32_t codePage);
    bool append(std::string_view text, int32_t codePage) { return append(text.data(), text.size(), codePage); }
    // The other's text, in the other's code page.
    bool append(const String& other);

    // --- Comparison (character by character) ---
    // Negative, 0 or positive. Case-blind on A-Z unless exactCase. In prefix mode a text that ends first compares
    // equal.
    int compare(const String& other, bool exactCase = false, bool prefix = false) const;
    bool equalsAscii(std::string_view ascii, bool exactCase = false) const;

    // --- Paths ("/" and "\" both separate) ---
    String directoryPart() const;  // up to and including the last separator, empty if none
    String fileNamePart() const;   // after the last separator
    String extension() const;      // the file name after its last "."
    // Full-path form (at most 519 characters); false and unchanged on failure.
    bool makeAbsolute();
    // The text as a UTF-8 path for system calls, with backslashes turned into slashes.
    std::string systemPath() const;

    // --- Files ---
    // Loads a whole file; a byte-order mark decides the encoding, else kind 1 code page 20105.
    // `FileNotAccessible` on failure.
    bool loadFile(const String& path);

private:
    bool reserve(size_t bytes);
    // Replaces the text; `StringAllocationFailed` and the old text kept when allocation fails.
    bool assignBytes(const void* data, size_t size, TextKind kind, int32_t codePage);
    bool assignUtf16(std::u16string_view units);
    void release();
    // Bytes appended without any encoding check.
    bool appendRaw(const void* data, size_t size);
    // Byte length of the character at `offset` from its first byte; `supported` false for a multi-byte code
    // page whose lead bytes are unknown (the byte then counts as one character).
    size_t charLengthAt(size_t offset, bool& supported) const;
    // The character at `offset`, not reading at or past `end`; `bytes` receives its length.
    uint32_t decodeChar(size_t offset, size_t end, size_t& bytes) const;
    // Offset and length of the last occurrence of either character; false if neither occurs.
    bool findLast(char16_t first, char16_t second, size_t& position, size_t& bytes) const;
    // A new string holding bytes [begin, end) in this string's encoding, with its context.
    String slice(size_t begin, size_t end) const;

    TextKind kind_ = TextKind::Raw;
    int32_t codePage_ = kCodePageUnset;
    size_t capacity_ = 0;
    size_t length_ = 0;
    uint8_t* buffer_ = nullptr;
};

}  // namespace qp
