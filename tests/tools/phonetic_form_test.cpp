// SPDX-License-Identifier: GPL-3.0-or-later
#include "phonetic_form.h"

#include <gtest/gtest.h>

#include "phonetic_table_file.h"
#include "phonetic_word_forms.h"

namespace {

using phonetic_test::LanguageForms;

kova::SpellTables tablesIn(const std::string& file) {
    auto table = [&](size_t at, size_t size) {
        return kova::ByteView(reinterpret_cast<const uint8_t*>(file.data()), file.size()).sub(at, size);
    };
    using namespace phonetic_test;
    return {table(kSpl1At, 256), table(kSpl2At, 256), table(kSpl3At, file.size()),
            table(kSpl4At, 256), table(kSpl5At, 256), table(kSpl6At, 512)};
}

class ReaderPhoneticForms : public ::testing::TestWithParam<LanguageForms> {
protected:
    void SetUp() override {
        file_ = phonetic_test::readTableFile(phonetic_test::tableFilePath(GetParam().name));
        ASSERT_GT(file_.size(), phonetic_test::kSpl3At) << GetParam().name;
        tables_ = tablesIn(file_);
    }
    std::string formOf(const char* word) const { return kova::phoneticForm(tables_, word); }

    std::string file_;
    kova::SpellTables tables_;
};

TEST_P(ReaderPhoneticForms, WordsGetTheirHandWorkedForms) {
    for (const auto& [word, form] : GetParam().forms) EXPECT_EQ(formOf(word), form) << word;
}

TEST_P(ReaderPhoneticForms, MisspellingsShareTheFormOfTheirWord) {
    for (const auto& [misspelling, word] : GetParam().misspellings) {
        EXPECT_EQ(formOf(misspelling), formOf(word)) << misspelling << " / " << word;
    }
}

TEST_P(ReaderPhoneticForms, KeysWithoutLettersCannotBePhonetized) {
    for (const char* key : phonetic_test::keysWithoutForm()) EXPECT_EQ(formOf(key), "") << key;
}

INSTANTIATE_TEST_SUITE_P(Languages, ReaderPhoneticForms, ::testing::ValuesIn(phonetic_test::languageForms()),
                         [](const auto& test) { return std::string(test.param.name); });

// Damaged tables give some form without reading outside them or looping.
TEST(ReaderPhoneticForm, DamagedTablesAreReadSafely) {
    std::string file = phonetic_test::readTableFile(phonetic_test::tableFilePath("english"));
    ASSERT_GT(file.size(), phonetic_test::kSpl3At);
    kova::SpellTables tables = tablesIn(file);

    kova::SpellTables cutRules = tables;
    cutRules.spl3 = tables.spl3.sub(0, 20);  // ends inside the first rule of c, which then sounds as z
    EXPECT_EQ(kova::phoneticForm(cutRules, "church"), "zrz");

    std::string offsets(512, '\x7F');  // every entry points far past the rules
    kova::SpellTables wildOffsets = tables;
    wildOffsets.spl6 = kova::ByteView(reinterpret_cast<const uint8_t*>(offsets.data()), offsets.size());
    EXPECT_EQ(kova::phoneticForm(wildOffsets, "phonetic"), "bntz");  // sounds only: p, n, t, c

    kova::SpellTables empty;
    EXPECT_EQ(kova::phoneticForm(empty, "phonetic"), "");
}

}  // namespace
