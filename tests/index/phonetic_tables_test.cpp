// SPDX-License-Identifier: GPL-3.0-or-later
#include "index/phonetic_tables.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

#include "phonetic_table_file.h"
#include "phonetic_word_forms.h"

namespace {

// The western ordering table written out from its definition, range by range.
std::array<uint8_t, 256> referenceOrdering() {
    std::array<uint8_t, 256> table{};
    auto set = [&](unsigned first, unsigned last, char value) {
        for (unsigned b = first; b <= last; ++b) table[b] = static_cast<uint8_t>(value);
    };
    set(0x01, 0x02, 'o');
    set(0x03, 0x04, 'a');
    set(0x05, 0x05, 's');
    set(0x20, 0x20, ' ');
    for (char c = '0'; c <= '9'; ++c) set(static_cast<uint8_t>(c), static_cast<uint8_t>(c), c);
    for (char c = 'a'; c <= 'z'; ++c) {
        set(static_cast<uint8_t>(c), static_cast<uint8_t>(c), c);
        set(static_cast<uint8_t>(c - 'a' + 'A'), static_cast<uint8_t>(c - 'a' + 'A'), c);
    }
    set(0x83, 0x83, 'f');
    set(0x8A, 0x8A, 's');
    set(0x9A, 0x9A, 's');
    set(0x8E, 0x8E, 'z');
    set(0x9E, 0x9E, 'z');
    for (unsigned y : {0x9Fu, 0xDDu, 0xFDu, 0xFFu}) set(y, y, 'y');
    set(0xB5, 0xB5, 'm');
    for (unsigned base : {0xC0u, 0xE0u}) {
        set(base + 0x00, base + 0x05, 'a');
        set(base + 0x07, base + 0x07, 'c');
        set(base + 0x08, base + 0x0B, 'e');
        set(base + 0x0C, base + 0x0F, 'i');
        set(base + 0x10, base + 0x10, 'd');
        set(base + 0x11, base + 0x11, 'n');
        set(base + 0x12, base + 0x16, 'o');
        set(base + 0x18, base + 0x18, 'o');
        set(base + 0x19, base + 0x1C, 'u');
        set(base + 0x1E, base + 0x1E, 't');
    }
    return table;
}

TEST(PhoneticTables, NormalisingTableIsTheWesternOrderingTable) {
    qp::PhoneticTables tables;
    ASSERT_TRUE(tables.setUp(9));
    std::array<uint8_t, 256> expected = referenceOrdering();
    for (unsigned b = 0; b < 256; ++b) EXPECT_EQ(tables.spl1()[b], expected[b]) << "byte " << b;
}

TEST(PhoneticTables, LetterClassesMarkVowelsAndConsonants) {
    struct ByteClass {
        uint8_t byte;
        uint8_t letterClass;
    };
    const ByteClass cases[] = {
        {'a', 'A'}, {'Y', 'A'}, {0xE9, 'A'}, {0xC5, 'A'}, {0xD8, 'A'}, {0xFF, 'A'}, {0x9C, 'A'}, {0xC6, 'A'},
        {'b', 'C'}, {'Z', 'C'}, {0xE7, 'C'}, {0xD1, 'C'}, {0xDF, 'C'}, {0x9A, 'C'}, {0xFE, 'C'}, {'5', 0},
        {' ', 0},   {'$', 0},   {0xD7, 0},   {0xF7, 0},   {0xA9, 0},   {0x00, 0},
    };
    qp::PhoneticTables tables;
    ASSERT_TRUE(tables.setUp(9));
    for (const ByteClass& c : cases) EXPECT_EQ(tables.spl2()[c.byte], c.letterClass) << "byte " << int(c.byte);
}

// A code without a class would vanish from every form silently.
TEST(PhoneticTables, EveryCodeALanguageMakesHasAClass) {
    for (const phonetic_test::LanguageForms& language : phonetic_test::languageForms()) {
        qp::PhoneticTables tables;
        ASSERT_TRUE(tables.setUp(language.language));
        std::string codes(tables.spl4().begin(), tables.spl4().end());
        qp::PhoneticRule rule;
        for (size_t at = 0; at < tables.spl3().size(); at += rule.size) {
            ASSERT_EQ(qp::readPhoneticRule(tables.spl3(), at, rule), qp::PhoneticRuleFault::none);
            codes.append(rule.replacement);
        }
        codes.erase(std::remove(codes.begin(), codes.end(), '\0'), codes.end());
        for (char code : codes)
            EXPECT_NE(tables.spl5()[static_cast<uint8_t>(code)], 0) << language.name << ": " << code;
    }
}

std::string tableFile(const qp::PhoneticTables& tables) {
    std::string bytes;
    for (const auto* table : {&tables.spl1(), &tables.spl2(), &tables.spl4(), &tables.spl5()}) {
        bytes.append(table->begin(), table->end());
    }
    bytes.append(tables.spl6().begin(), tables.spl6().end());
    bytes.append(tables.spl3());
    return bytes;
}

TEST(PhoneticTables, ReaderTestFilesHoldTheWritersTables) {
    for (const phonetic_test::LanguageForms& language : phonetic_test::languageForms()) {
        qp::PhoneticTables tables;
        ASSERT_TRUE(tables.setUp(language.language));
        std::string path = phonetic_test::tableFilePath(language.name);
        std::string made = tableFile(tables);
        if (phonetic_test::readTableFile(path) == made) continue;
        std::string fresh = ::testing::TempDir() + language.name + ".spell";
        std::ofstream(fresh, std::ios::binary) << made;
        ADD_FAILURE() << path << " no longer holds the writer's " << language.name
                      << " tables, which the reader's tests use; the writer's tables are in " << fresh;
    }
}

}  // namespace
