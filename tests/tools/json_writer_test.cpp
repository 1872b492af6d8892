// SPDX-License-Identifier: GPL-3.0-or-later
#include "json_writer.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

TEST(JsonWriter, PlacesCommasInNestedContainers) {
    std::ostringstream out;
    kova::JsonWriter json(out);
    json.beginObject().key("a").value(uint64_t{1}).key("b").beginArray();
    json.value("x").beginObject().endObject().numbers({2, 3}).endArray();
    json.key("c").boolean(false).endObject();
    EXPECT_EQ(out.str(), R"({"a":1,"b":["x",{},[2,3]],"c":false})");
}

TEST(JsonWriter, EscapesStrings) {
    EXPECT_EQ(kova::JsonWriter::quote("a\"b\\c"), R"("a\"b\\c")");
    EXPECT_EQ(kova::JsonWriter::quote("1\n2\t3\r"), R"("1\n2\t3\r")");
    EXPECT_EQ(kova::JsonWriter::quote(std::string("\x01\x1f\x7f", 3)), R"("\u0001\u001f\u007f")");
    EXPECT_EQ(kova::JsonWriter::quote(std::string("\0", 1)), R"("\u0000")");
}

TEST(JsonWriter, KeepsValidUtf8AndMapsOtherBytesAsLatin1) {
    EXPECT_EQ(kova::JsonWriter::quote("caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80"),
              "\"caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80\"");
    // A lone 0xE9 (1252 é) becomes U+00E9; a cut sequence and an overlong form are taken byte by byte.
    EXPECT_EQ(kova::JsonWriter::quote("\xE9"), "\"\xC3\xA9\"");
    EXPECT_EQ(kova::JsonWriter::quote("\xE2\x82"), "\"\xC3\xA2\xC2\x82\"");
    EXPECT_EQ(kova::JsonWriter::quote("\xC0\xAF"), "\"\xC3\x80\xC2\xAF\"");
    EXPECT_EQ(kova::JsonWriter::quote("\xED\xA0\x80"), "\"\xC3\xAD\xC2\xA0\xC2\x80\"");  // surrogate
}

}  // namespace
