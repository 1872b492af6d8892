// SPDX-License-Identifier: GPL-3.0-or-later
#include "markup/character_references.h"

#include <gtest/gtest.h>

namespace {

struct ReferenceCase {
    const char* input;
    const char* text;
    bool unsupported;
};

class CharacterReferences : public ::testing::TestWithParam<ReferenceCase> {};

TEST_P(CharacterReferences, DecodeToUtf8) {
    const qp::DecodedReferences decoded = qp::decodeCharacterReferences(GetParam().input);
    EXPECT_EQ(decoded.text, GetParam().text);
    EXPECT_EQ(decoded.unsupported, GetParam().unsupported);
}

INSTANTIATE_TEST_SUITE_P(Cases, CharacterReferences,
                         ::testing::Values(ReferenceCase{"Rapha&#235;l", "Rapha\xC3\xABl", false},
                                           ReferenceCase{"caf&#xE9; &eacute;t&eacute;", "caf\xC3\xA9 \xC3\xA9t\xC3\xA9",
                                                         false},
                                           ReferenceCase{"&amp;&lt;&gt;&quot;&nbsp;", "&<>\"\xC2\xA0", false},
                                           ReferenceCase{"&#x1F4D6;&euro;", "\xF0\x9F\x93\x96\xE2\x82\xAC", false},
                                           ReferenceCase{"a & b; c", "a & b; c", true},
                                           ReferenceCase{"&nosuch; &#0; &#xD800;", "&nosuch; &#0; &#xD800;", true},
                                           ReferenceCase{"no semicolon &amp", "no semicolon &amp", false}));

TEST(NamedEntities, TheHtmlFourSet) {
    EXPECT_EQ(qp::namedEntity("AElig"), 0xC6u);
    EXPECT_EQ(qp::namedEntity("zwnj"), 0x200Cu);
    EXPECT_FALSE(qp::namedEntity("apos"));  // XML's, not HTML 4's
    EXPECT_FALSE(qp::namedEntity("Eacute;"));
}

}  // namespace
