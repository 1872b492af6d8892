// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A minimal streaming JSON writer: objects, arrays, strings and unsigned numbers, with the commas
// placed by the writer. Strings are bytes; valid UTF-8 passes through, any other byte is written
// as the character of the same value (as in Latin-1).
#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace kova {

class JsonWriter {
public:
    explicit JsonWriter(std::ostream& out) : out_(out) {}

    JsonWriter& beginObject();
    JsonWriter& endObject();
    JsonWriter& beginArray();
    JsonWriter& endArray();
    JsonWriter& key(const std::string& name);
    JsonWriter& value(const std::string& text);
    JsonWriter& value(const char* text) { return value(std::string(text)); }
    JsonWriter& value(uint64_t number);
    JsonWriter& boolean(bool flag);
    JsonWriter& numbers(const std::vector<uint64_t>& list);

    // A string literal with quotes and escapes.
    static std::string quote(std::string_view bytes);
    static void appendQuoted(std::string& out, std::string_view bytes);

private:
    void separate();

    std::ostream& out_;
    std::vector<bool> first_;  // per open container: nothing written into it yet
    bool afterKey_ = false;
};

}  // namespace kova
