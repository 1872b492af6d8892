// SPDX-License-Identifier: GPL-3.0-or-later
#include "json_writer.h"

#include <array>

namespace kova {

namespace {

// Length of the valid UTF-8 sequence starting at i, or 0.
size_t utf8Length(std::string_view s, size_t i) {
    auto byte = [&](size_t k) { return static_cast<uint8_t>(s[k]); };
    uint8_t b = byte(i);
    size_t n;
    uint32_t cp;
    if (b < 0x80) return 1;
    if (b >= 0xC2 && b <= 0xDF) {
        n = 2;
        cp = b & 0x1F;
    } else if (b >= 0xE0 && b <= 0xEF) {
        n = 3;
        cp = b & 0x0F;
    } else if (b >= 0xF0 && b <= 0xF4) {
        n = 4;
        cp = b & 0x07;
    } else
        return 0;
    if (i + n > s.size()) return 0;
    for (size_t k = 1; k < n; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80) return 0;
        cp = cp << 6 | (byte(i + k) & 0x3F);
    }
    bool overlong = (n == 3 && cp < 0x800) || (n == 4 && cp < 0x10000);
    bool surrogate = cp >= 0xD800 && cp <= 0xDFFF;
    return overlong || surrogate || cp > 0x10FFFF ? 0 : n;
}

// Printable ASCII but the quote and the backslash.
constexpr std::array<bool, 256> keptAsItIs = [] {
    std::array<bool, 256> kept{};
    for (size_t b = 0x20; b < 0x7F; ++b) kept[b] = b != '"' && b != '\\';
    return kept;
}();

void appendLatin1(std::string& out, uint8_t b) {
    out += static_cast<char>(0xC0 | b >> 6);
    out += static_cast<char>(0x80 | (b & 0x3F));
}

}  // namespace

std::string JsonWriter::quote(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() + 2);
    appendQuoted(out, bytes);
    return out;
}

void JsonWriter::appendQuoted(std::string& out, std::string_view bytes) {
    static const char hex[] = "0123456789abcdef";
    out += '"';
    size_t kept = 0;  // where the bytes that go as they are begin
    for (size_t i = 0; i < bytes.size();) {
        const uint8_t b = static_cast<uint8_t>(bytes[i]);
        if (keptAsItIs[b]) {
            ++i;
            continue;
        }
        if (const size_t n = b >= 0x80 ? utf8Length(bytes, i) : 0) {
            i += n;
            continue;
        }
        out.append(bytes.substr(kept, i - kept));
        kept = ++i;
        switch (b) {
            case '"': out += "\\\""; break;
            case '\\': out += "\\\\"; break;
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            case '\t': out += "\\t"; break;
            default:
                if (b < 0x20 || b == 0x7F) {
                    out += "\\u00";
                    out += hex[b >> 4];
                    out += hex[b & 15];
                } else {
                    appendLatin1(out, b);
                }
        }
    }
    out.append(bytes.substr(kept));
    out += '"';
}

void JsonWriter::separate() {
    if (afterKey_) {
        afterKey_ = false;
        return;
    }
    if (!first_.empty()) {
        if (!first_.back()) out_ << ',';
        first_.back() = false;
    }
}

JsonWriter& JsonWriter::beginObject() {
    separate();
    out_ << '{';
    first_.push_back(true);
    return *this;
}

JsonWriter& JsonWriter::endObject() {
    first_.pop_back();
    out_ << '}';
    return *this;
}

JsonWriter& JsonWriter::beginArray() {
    separate();
    out_ << '[';
    first_.push_back(true);
    return *this;
}

JsonWriter& JsonWriter::endArray() {
    first_.pop_back();
    out_ << ']';
    return *this;
}

JsonWriter& JsonWriter::key(const std::string& name) {
    separate();
    out_ << quote(name) << ':';
    afterKey_ = true;
    return *this;
}

JsonWriter& JsonWriter::value(const std::string& text) {
    separate();
    out_ << quote(text);
    return *this;
}

JsonWriter& JsonWriter::value(uint64_t number) {
    separate();
    out_ << number;
    return *this;
}

JsonWriter& JsonWriter::boolean(bool flag) {
    separate();
    out_ << (flag ? "true" : "false");
    return *this;
}

JsonWriter& JsonWriter::numbers(const std::vector<uint64_t>& list) {
    beginArray();
    for (uint64_t n : list) value(n);
    return endArray();
}

}  // namespace kova
