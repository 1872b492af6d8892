// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/char_table.h"

#include <gtest/gtest.h>

namespace {

using qp::LetterClass;

// Category numbers of the flags column.
enum Category : uint16_t {
    Upper = 0,
    Lower = 1,
    Digit = 6,
    OtherNumber = 8,
    SpaceSeparator = 9,
    Control = 12,
    Connector = 19,
    Dash = 20,
    Open = 21,
    Close = 22,
    OpenQuote = 23,
    CloseQuote = 24,
    OtherPunct = 25,
    Math = 26,
    Currency = 27,
    Modifier = 28,
    OtherSymbol = 29,
};

struct Expected {
    uint16_t code;
    LetterClass letter;
    uint16_t category;
    uint16_t lower;
    uint16_t upper;
    uint16_t base;
};

void expectEntry(const Expected& e) {
    SCOPED_TRACE(::testing::Message() << "code 0x" << std::hex << e.code);
    EXPECT_EQ(qp::letterClass(e.code), e.letter);
    EXPECT_EQ(qp::charCategory(e.code), e.category);
    EXPECT_EQ(qp::charFlags(e.code), static_cast<uint16_t>(static_cast<uint16_t>(e.letter) | (e.category << 3)));
    EXPECT_EQ(qp::charLower(e.code), e.lower);
    EXPECT_EQ(qp::charUpper(e.code), e.upper);
    EXPECT_EQ(qp::charBase(e.code), e.base);
}

TEST(CharTable, AsciiEntries) {
    expectEntry({'A', LetterClass::Vowel, Upper, 'a', 'A', 'A'});
    expectEntry({'b', LetterClass::Consonant, Lower, 'b', 'B', 'b'});
    expectEntry({'y', LetterClass::Vowel, Lower, 'y', 'Y', 'y'});
    expectEntry({'7', LetterClass::Other, Digit, '7', '7', '7'});
    expectEntry({' ', LetterClass::Space, SpaceSeparator, ' ', ' ', ' '});
    expectEntry({'\t', LetterClass::Space, Control, '\t', '\t', '\t'});
    expectEntry({0x01, LetterClass::Other, Control, 0x01, 0x01, 0x01});
    expectEntry({'_', LetterClass::Punctuation, Connector, '_', '_', '_'});
    expectEntry({'-', LetterClass::Punctuation, Dash, '-', '-', '-'});
    expectEntry({'(', LetterClass::Punctuation, Open, '(', '(', '('});
    expectEntry({']', LetterClass::Punctuation, Close, ']', ']', ']'});
    expectEntry({'!', LetterClass::Punctuation, OtherPunct, '!', '!', '!'});
    expectEntry({'+', LetterClass::Other, Math, '+', '+', '+'});
    expectEntry({'$', LetterClass::Other, Currency, '$', '$', '$'});
    expectEntry({'^', LetterClass::Other, Modifier, '^', '^', '^'});
    expectEntry({0x7F, LetterClass::Other, Control, 0x7F, 0x7F, 0x7F});
}

TEST(CharTable, AccentedLettersAndTheirBaseLetters) {
    expectEntry({0xC0, LetterClass::Vowel, Upper, 0xE0, 0xC0, 'A'});             // À
    expectEntry({0xE7, LetterClass::Consonant, Lower, 0xE7, 0xC7, 'c'});         // ç
    expectEntry({0x8A, LetterClass::Consonant, Upper, 0x0161, 0x0160, 'S'});     // Š
    expectEntry({0x9A, LetterClass::Consonant, Lower, 0x0161, 0x0160, 's'});     // š
    expectEntry({0x9F, LetterClass::Vowel, Upper, 0xFF, 0x0178, 'Y'});           // Ÿ
    expectEntry({0xFF, LetterClass::Vowel, Lower, 0xFF, 0x0178, 'y'});           // ÿ
    expectEntry({0x8C, LetterClass::Vowel, Upper, 0x0153, 0x0152, 0x0152});      // Œ
    expectEntry({0xD8, LetterClass::Vowel, Upper, 0xF8, 0xD8, 0xD8});            // Ø
    expectEntry({0xC6, LetterClass::Vowel, Upper, 0xE6, 0xC6, 0xC6});            // Æ
    expectEntry({0xDF, LetterClass::Consonant, Lower, 0xDF, 0xDF, 0xDF});        // ß
    expectEntry({0x83, LetterClass::Consonant, Lower, 0x0192, 0x0191, 0x0192});  // ƒ
}

TEST(CharTable, CompatibilityDecompositionsGiveTheBase) {
    expectEntry({0xAA, LetterClass::Vowel, Lower, 0xAA, 0xAA, 'a'});            // ª
    expectEntry({0xBA, LetterClass::Vowel, Lower, 0xBA, 0xBA, 'o'});            // º
    expectEntry({0xB2, LetterClass::Other, OtherNumber, 0xB2, 0xB2, '2'});      // ²
    expectEntry({0xBD, LetterClass::Other, OtherNumber, 0xBD, 0xBD, '1'});      // ½
    expectEntry({0xB5, LetterClass::Consonant, Lower, 0xB5, 0x039C, 0x03BC});   // µ
    expectEntry({0xA0, LetterClass::Space, SpaceSeparator, 0xA0, 0xA0, ' '});   // no-break space
    expectEntry({0x99, LetterClass::Other, OtherSymbol, 0x2122, 0x2122, 'T'});  // ™
    expectEntry({0xA8, LetterClass::Other, Modifier, 0xA8, 0xA8, ' '});         // ¨
}

TEST(CharTable, PunctuationOfTheHighBlock) {
    expectEntry({0x85, LetterClass::Punctuation, Open, 0x2026, 0x2026, '.'});  // ellipsis
    expectEntry({0x88, LetterClass::Other, Control, 0x02C6, 0x02C6, 0x02C6});  // modifier circumflex
    expectEntry({0x82, LetterClass::Punctuation, Open, 0x201A, 0x201A, 0x201A});
    expectEntry({0x93, LetterClass::Punctuation, OpenQuote, 0x201C, 0x201C, 0x201C});
    expectEntry({0x94, LetterClass::Punctuation, CloseQuote, 0x201D, 0x201D, 0x201D});
    expectEntry({0x97, LetterClass::Punctuation, Dash, 0x2014, 0x2014, 0x2014});
    expectEntry({0x80, LetterClass::Other, Currency, 0x20AC, 0x20AC, 0x20AC});
    expectEntry({0xA7, LetterClass::Other, OtherSymbol, 0xA7, 0xA7, 0xA7});  // §
    expectEntry({0xB6, LetterClass::Other, OtherSymbol, 0xB6, 0xB6, 0xB6});  // ¶
    expectEntry({0xAD, LetterClass::Punctuation, Dash, 0xAD, 0xAD, 0xAD});   // soft hyphen
    expectEntry({0xD7, LetterClass::Other, Math, 0xD7, 0xD7, 0xD7});         // ×
    expectEntry({0xAB, LetterClass::Punctuation, OpenQuote, 0xAB, 0xAB, 0xAB});
}

TEST(CharTable, UndefinedCodesAreControls) {
    for (uint16_t code : {0x81, 0x8D, 0x8F, 0x90, 0x9D})
        expectEntry({code, LetterClass::Other, Control, code, code, code});
}

TEST(CharTable, Utf16CharactersUseTheirWindows1252Entry) {
    EXPECT_EQ(qp::windows1252Byte(0x0160), 0x8A);
    EXPECT_EQ(qp::windows1252Byte(0x20AC), 0x80);
    EXPECT_EQ(qp::windows1252Byte(0x00E9), 0xE9);
    EXPECT_EQ(qp::windows1252Byte(0x0081), 0x81);
    EXPECT_EQ(qp::windows1252Byte(0x0085), -1);  // a C1 control with no Windows-1252 byte
    EXPECT_EQ(qp::windows1252Byte(0x0416), -1);
    EXPECT_EQ(qp::charLower(0x0160), 0x0161);
    EXPECT_EQ(qp::charBase(0x0178), 'Y');
    EXPECT_EQ(qp::charCategory(0x2026), Open);
    // Characters outside the repertoire have no entry: flags 0, case and base unchanged.
    EXPECT_EQ(qp::charFlags(0x0416), 0);
    EXPECT_EQ(qp::charLower(0x0416), 0x0416);
    EXPECT_EQ(qp::charBase(0x0416), 0x0416);
}

TEST(CharTable, LettersAndCaseColumnsAgree) {
    for (uint16_t code = 0; code < 256; ++code) {
        uint16_t category = qp::charCategory(code);
        LetterClass letter = qp::letterClass(code);
        bool isLetter = category == Upper || category == Lower;
        EXPECT_EQ(isLetter, letter == LetterClass::Vowel || letter == LetterClass::Consonant) << code;
        // A letter is its own form of its case: the column leads back to the same Windows-1252 code.
        if (category == Upper) {
            EXPECT_EQ(qp::windows1252Byte(qp::charUpper(code)), code) << code;
        }
        if (category == Lower) {
            EXPECT_EQ(qp::windows1252Byte(qp::charLower(code)), code) << code;
        }
    }
    for (uint16_t code = 'A'; code <= 'Z'; ++code) EXPECT_EQ(qp::charLower(code), code + 0x20);
    for (uint16_t code = 0xC0; code <= 0xDE; ++code) {
        if (code == 0xD7) continue;  // the multiplication sign
        EXPECT_EQ(qp::charLower(code), code + 0x20) << code;
        EXPECT_EQ(qp::charUpper(code + 0x20), code) << code;
    }
}

}  // namespace
