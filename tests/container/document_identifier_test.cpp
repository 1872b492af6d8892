// SPDX-License-Identifier: GPL-3.0-or-later
#include "container/document_identifier.h"

#include <gtest/gtest.h>

TEST(DocumentIdentifier, SpacesBecomeUnderscoresAndPunctuationGoes) {
    EXPECT_EQ(qp::documentIdentifier(u"My Book: A-Story (v1.2)!"), "My_Book_A-Story_v1.2");
}

TEST(DocumentIdentifier, AccentedLettersBecomeTheirBaseLetters) {
    EXPECT_EQ(qp::documentIdentifier(u"Café Ñandú"), "Cafe_Nandu");
}

TEST(DocumentIdentifier, CharactersAbove256BecomeLettersFromA) {
    // U+0416 = 1046; 1046 mod 26 = 6 -> "G". U+4E2D = 20013; 20013 mod 26 = 19 -> "T".
    EXPECT_EQ(qp::documentIdentifier(u"\u0416\u4E2D"), "GT");
}

TEST(DocumentIdentifier, FortyLettersGiveTwelveDashFourteen) {
    std::u16string title = u"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmn";
    ASSERT_EQ(title.size(), 40u);
    std::string identifier = qp::documentIdentifier(title);
    EXPECT_EQ(identifier, "ABCDEFGHIJKL-abcdefghijklmn");
    EXPECT_EQ(identifier.size(), 27u);
}

TEST(DocumentIdentifier, TwentySevenCharactersAreKept) {
    std::u16string name(27, u'x');
    EXPECT_EQ(qp::documentIdentifier(name), std::string(27, 'x'));
}
