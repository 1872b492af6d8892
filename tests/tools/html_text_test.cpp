// SPDX-License-Identifier: GPL-3.0-or-later
// The text conversions of the HTML preview: escaping book text for pages (Windows-1252 or UTF-8), decoding the
// basic character references for excerpts, and UTF-8 from code points and Windows-1252 bytes.
#include "html_text.h"

#include <gtest/gtest.h>

#include "index_key.h"
#include "text_encoding.h"

namespace {

struct EscapeCase {
    const char* text;
    uint32_t encoding;
    const char* html;
};

class HtmlTextEscape : public ::testing::TestWithParam<EscapeCase> {};

TEST_P(HtmlTextEscape, EscapesMarkupKeepsReferencesAndConvertsToUtf8) {
    std::string out = "<p>";
    kova::appendHtmlText(out, GetParam().text, GetParam().encoding);
    EXPECT_EQ(out, std::string("<p>") + GetParam().html);
}

INSTANTIATE_TEST_SUITE_P(Texts, HtmlTextEscape,
                         ::testing::Values(EscapeCase{"caf\xE9 & <b> x>y", 1252, "caf\xC3\xA9 &amp; &lt;b&gt; x&gt;y"},
                                           EscapeCase{"&amp;\x80&#233;&bad &x\xE9;", 1252,
                                                      "&amp;\xE2\x82\xAC&#233;&amp;bad &amp;x\xC3\xA9;"},
                                           EscapeCase{"\x81\x9D\xFF", 1252, "\xC2\x81\xC2\x9D\xC3\xBF"},
                                           EscapeCase{"caf\xC3\xA9 &lt; &copy &", 65001,
                                                      "caf\xC3\xA9 &lt; &amp;copy &amp;"},
                                           EscapeCase{"a&amp", 65001, "a&amp;amp"}, EscapeCase{"", 1252, ""}));

TEST(HtmlText, DecodesOnlyTheBasicReferences) {
    EXPECT_EQ(kova::decodeBasicReferences("&amp;&lt;&gt;&quot;&apos;&nbsp;&#233;&#x20AC;&mdash;&#0;&#xD800;& x&"),
              "&<>\"'\xC2\xA0\xC3\xA9\xE2\x82\xAC&mdash;&#0;&#xD800;& x&");
}

TEST(TextEncoding, Utf8OfCodePointsAndWindows1252) {
    std::string out;
    for (uint32_t c : {0x41u, 0xE9u, 0x20ACu, 0x1F600u, 0xD800u, 0x110000u}) kova::appendUtf8(out, c);
    EXPECT_EQ(out, "A\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80\xEF\xBF\xBD\xEF\xBF\xBD");
    const uint8_t bytes[] = {'a', 0x80, 'b', 0xE9, 0x81};
    EXPECT_EQ(kova::utf8From1252(kova::ByteView(bytes, sizeof bytes)), "a\xE2\x82\xAC"
                                                                       "b\xC3\xA9\xC2\x81");
}

// An inflected form may hold what no UTF-8 text can (a fold table's surrogate): it stands as U+FFFD.
TEST(IndexKeyFromCharacters, ReplacesWhatUtf8CannotCarry) {
    const kova::IndexTables tables;
    kova::IndexKey key;
    ASSERT_TRUE(kova::keyFromCharacters({'b', 0xD800, 0xE9}, kova::KeyForm::bytes, 65001, tables, key));
    EXPECT_EQ(key.bytes, (std::vector<uint8_t>{'b', 0xEF, 0xBF, 0xBD, 0xC3, 0xA9}));
    EXPECT_EQ(key.units, (std::vector<uint16_t>{'b', 0xEF, 0xBF, 0xBD, 0xC3, 0xA9}));
    ASSERT_TRUE(kova::keyFromCharacters({'b', 0xE9}, kova::KeyForm::bytes, 1252, tables, key));
    EXPECT_EQ(key.bytes, (std::vector<uint8_t>{'b', 0xE9}));
    EXPECT_EQ(key.units, (std::vector<uint16_t>{'b', 0xE9}));
    EXPECT_FALSE(kova::keyFromCharacters({'b', 0xD800}, kova::KeyForm::bytes, 1252, tables, key));
}

}  // namespace
