// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "index/phonetic_form.h"
#include "index/phonetic_tables.h"
#include "phonetic_word_forms.h"

namespace {

using phonetic_test::LanguageForms;

class PhoneticForms : public ::testing::TestWithParam<LanguageForms> {
protected:
    void SetUp() override { ASSERT_TRUE(tables_.setUp(GetParam().language)); }
    std::string formOf(const char* word) const { return qp::phoneticForm(tables_, word); }

    qp::PhoneticTables tables_;
};

TEST_P(PhoneticForms, WordsGetTheirHandWorkedForms) {
    for (const auto& [word, form] : GetParam().forms) EXPECT_EQ(formOf(word), form) << word;
}

TEST_P(PhoneticForms, MisspellingsShareTheFormOfTheirWord) {
    for (const auto& [misspelling, word] : GetParam().misspellings) {
        EXPECT_EQ(formOf(misspelling), formOf(word)) << misspelling << " / " << word;
    }
}

TEST_P(PhoneticForms, DifferentWordsKeepDifferentForms) {
    for (const auto& [first, second] : GetParam().otherWords) {
        EXPECT_NE(formOf(first), formOf(second)) << first << " / " << second;
    }
}

TEST_P(PhoneticForms, KeysWithoutLettersCannotBePhonetized) {
    for (const char* key : phonetic_test::keysWithoutForm()) EXPECT_EQ(formOf(key), "") << key;
}

INSTANTIATE_TEST_SUITE_P(Languages, PhoneticForms, ::testing::ValuesIn(phonetic_test::languageForms()),
                         [](const auto& test) { return std::string(test.param.name); });

TEST(PhoneticFormLength, FormsStopAt255Codes) {
    qp::PhoneticTables tables;
    ASSERT_TRUE(tables.setUp(9));
    EXPECT_EQ(qp::phoneticForm(tables, std::string(200, 'x')).size(), 255u);  // each x sounds as k and z
}

}  // namespace
