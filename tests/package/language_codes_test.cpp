// SPDX-License-Identifier: GPL-3.0-or-later
#include "package/language_codes.h"

#include <gtest/gtest.h>

namespace {

using qp::localeOfLanguage;

TEST(LanguageCodes, RegionalCodesGiveSublanguageAbovePrimaryLanguage) {
    EXPECT_EQ(localeOfLanguage("en-US"), 0x0409);
    EXPECT_EQ(localeOfLanguage("en-GB"), 0x0809);
    EXPECT_EQ(localeOfLanguage("fr-FR"), 0x040C);
    EXPECT_EQ(localeOfLanguage("fr-CA"), 0x0C0C);
    EXPECT_EQ(localeOfLanguage("zh-TW"), 0x0404);
    EXPECT_EQ(localeOfLanguage("zh-CN"), 0x0804);
    EXPECT_EQ(localeOfLanguage("pt-BR"), 0x0416);
    EXPECT_EQ(localeOfLanguage("es-ES"), 0x0C0A);
}

TEST(LanguageCodes, BareLanguageGivesPrimaryLanguageAlone) {
    EXPECT_EQ(localeOfLanguage("de"), 0x0007);
    EXPECT_EQ(localeOfLanguage("en"), 0x0009);
    EXPECT_EQ(localeOfLanguage("ja"), 0x0011);
    EXPECT_EQ(localeOfLanguage("it"), 0x0010);
}

TEST(LanguageCodes, CaseSeparatorAndBlanksDoNotMatter) {
    EXPECT_EQ(localeOfLanguage("EN-us"), 0x0409);
    EXPECT_EQ(localeOfLanguage("en_US"), 0x0409);
    EXPECT_EQ(localeOfLanguage("  fr-ca \n"), 0x0C0C);
}

TEST(LanguageCodes, UnknownRegionFallsBackToTheLanguage) {
    EXPECT_EQ(localeOfLanguage("de-XX"), 0x0007);
    EXPECT_EQ(localeOfLanguage("ja-JP"), 0x0411);
}

TEST(LanguageCodes, ThreeLetterCodesStandForTheirTwoLetterLanguage) {
    const struct {
        const char* code;
        uint16_t locale;
    } cases[] = {
        {"eng", 0x0009},    {"eng-US", 0x0409}, {"fre", 0x000C}, {"fra_CA", 0x0C0C},
        {"ger", 0x0007},    {"DEU-at", 0x0C07}, {"jpn", 0x0011}, {"chi", 0x0004},
        {"zho-TW", 0x0404}, {"nob", 0x0014},    {"kok", 0x0057}, {"eng-XX", 0x0009},
    };
    for (const auto& c : cases) EXPECT_EQ(localeOfLanguage(c.code), c.locale) << c.code;
    EXPECT_FALSE(localeOfLanguage("xxx").has_value());
    EXPECT_FALSE(localeOfLanguage("engl").has_value());
}

TEST(LanguageCodes, UnknownLanguagesAreRefused) {
    EXPECT_FALSE(localeOfLanguage("").has_value());
    EXPECT_FALSE(localeOfLanguage("xx").has_value());
    EXPECT_FALSE(localeOfLanguage("english").has_value());
    EXPECT_FALSE(localeOfLanguage("-US").has_value());
}

}  // namespace
