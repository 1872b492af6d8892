// SPDX-License-Identifier: GPL-3.0-or-later
// Read-out and write-back of markup text.
#include <gtest/gtest.h>

#include "markup/xml_parser_text.h"

namespace {

TEST(XmlText, DecodesTheFourEntitiesOnly) {
    EXPECT_EQ(qp::decodeEntities("&quot;&amp;&lt;&gt;"), "\"&<>");
    EXPECT_EQ(qp::decodeEntities("&nbsp;&#38;&#x26;&AMP;&amp"), "&nbsp;&#38;&#x26;&AMP;&amp");
    EXPECT_EQ(qp::decodeEntities("a&amp;lt;b &"), "a&lt;b &");
}

TEST(XmlText, EncodesTheFourCharacters) {
    EXPECT_EQ(qp::encodeEntities("a<b>&\"c'"), "a&lt;b&gt;&amp;&quot;c'");
    EXPECT_EQ(qp::decodeEntities(qp::encodeEntities("&lt; <\xc3\xa9>")), "&lt; <\xc3\xa9>");
}

TEST(XmlText, CaseBlindOnAsciiLettersOnly) {
    EXPECT_TRUE(qp::equalsCaseBlind("Idx:Entry", "idx:ENTRY"));
    EXPECT_FALSE(qp::equalsCaseBlind("\xc9", "\xe9"));
    EXPECT_FALSE(qp::equalsCaseBlind("ab", "abc"));
    EXPECT_TRUE(qp::startsWithCaseBlind("?XML version", "?xml"));
    EXPECT_FALSE(qp::startsWithCaseBlind("?xm", "?xml"));
}

}  // namespace
