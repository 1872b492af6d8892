// SPDX-License-Identifier: GPL-3.0-or-later
#include "package/language_codes.h"

#include <algorithm>
#include <array>
#include <string>

#include "core/ascii_text.h"

namespace qp {

namespace {

struct PrimaryLanguage {
    std::string_view code;
    uint16_t id;
};

// Two-letter language codes and their primary language ids.
constexpr std::array kPrimaryLanguages{
    PrimaryLanguage{"ar", 0x01}, PrimaryLanguage{"bg", 0x02}, PrimaryLanguage{"ca", 0x03},  PrimaryLanguage{"zh", 0x04},
    PrimaryLanguage{"cs", 0x05}, PrimaryLanguage{"da", 0x06}, PrimaryLanguage{"de", 0x07},  PrimaryLanguage{"el", 0x08},
    PrimaryLanguage{"en", 0x09}, PrimaryLanguage{"es", 0x0A}, PrimaryLanguage{"fi", 0x0B},  PrimaryLanguage{"fr", 0x0C},
    PrimaryLanguage{"he", 0x0D}, PrimaryLanguage{"hu", 0x0E}, PrimaryLanguage{"is", 0x0F},  PrimaryLanguage{"it", 0x10},
    PrimaryLanguage{"ja", 0x11}, PrimaryLanguage{"ko", 0x12}, PrimaryLanguage{"nl", 0x13},  PrimaryLanguage{"no", 0x14},
    PrimaryLanguage{"nb", 0x14}, PrimaryLanguage{"nn", 0x14}, PrimaryLanguage{"pl", 0x15},  PrimaryLanguage{"pt", 0x16},
    PrimaryLanguage{"rm", 0x17}, PrimaryLanguage{"ro", 0x18}, PrimaryLanguage{"ru", 0x19},  PrimaryLanguage{"hr", 0x1A},
    PrimaryLanguage{"sr", 0x1A}, PrimaryLanguage{"sk", 0x1B}, PrimaryLanguage{"sq", 0x1C},  PrimaryLanguage{"sv", 0x1D},
    PrimaryLanguage{"th", 0x1E}, PrimaryLanguage{"tr", 0x1F}, PrimaryLanguage{"ur", 0x20},  PrimaryLanguage{"id", 0x21},
    PrimaryLanguage{"uk", 0x22}, PrimaryLanguage{"be", 0x23}, PrimaryLanguage{"sl", 0x24},  PrimaryLanguage{"et", 0x25},
    PrimaryLanguage{"lv", 0x26}, PrimaryLanguage{"lt", 0x27}, PrimaryLanguage{"fa", 0x29},  PrimaryLanguage{"vi", 0x2A},
    PrimaryLanguage{"hy", 0x2B}, PrimaryLanguage{"az", 0x2C}, PrimaryLanguage{"eu", 0x2D},  PrimaryLanguage{"mk", 0x2F},
    PrimaryLanguage{"af", 0x36}, PrimaryLanguage{"ka", 0x37}, PrimaryLanguage{"fo", 0x38},  PrimaryLanguage{"hi", 0x39},
    PrimaryLanguage{"ms", 0x3E}, PrimaryLanguage{"kk", 0x3F}, PrimaryLanguage{"sw", 0x41},  PrimaryLanguage{"uz", 0x43},
    PrimaryLanguage{"tt", 0x44}, PrimaryLanguage{"bn", 0x45}, PrimaryLanguage{"pa", 0x46},  PrimaryLanguage{"gu", 0x47},
    PrimaryLanguage{"or", 0x48}, PrimaryLanguage{"ta", 0x49}, PrimaryLanguage{"te", 0x4A},  PrimaryLanguage{"kn", 0x4B},
    PrimaryLanguage{"ml", 0x4C}, PrimaryLanguage{"as", 0x4D}, PrimaryLanguage{"mr", 0x4E},  PrimaryLanguage{"sa", 0x4F},
    PrimaryLanguage{"cy", 0x52}, PrimaryLanguage{"gl", 0x56}, PrimaryLanguage{"kok", 0x57}, PrimaryLanguage{"ne", 0x61},
    PrimaryLanguage{"fy", 0x62}, PrimaryLanguage{"ga", 0x3C}, PrimaryLanguage{"mt", 0x3A},
};

struct RegionalLanguage {
    std::string_view code;  // language-region, lower case
    uint16_t locale;
};

// Language and region pairs with their locale codes (sublanguage << 10 | primary language).
constexpr std::array kRegionalLanguages{
    RegionalLanguage{"ar-sa", 0x0401}, RegionalLanguage{"ar-iq", 0x0801}, RegionalLanguage{"ar-eg", 0x0C01},
    RegionalLanguage{"ar-ly", 0x1001}, RegionalLanguage{"ar-dz", 0x1401}, RegionalLanguage{"ar-ma", 0x1801},
    RegionalLanguage{"ar-tn", 0x1C01}, RegionalLanguage{"ar-om", 0x2001}, RegionalLanguage{"ar-ye", 0x2401},
    RegionalLanguage{"ar-sy", 0x2801}, RegionalLanguage{"ar-jo", 0x2C01}, RegionalLanguage{"ar-lb", 0x3001},
    RegionalLanguage{"ar-kw", 0x3401}, RegionalLanguage{"ar-ae", 0x3801}, RegionalLanguage{"ar-bh", 0x3C01},
    RegionalLanguage{"ar-qa", 0x4001}, RegionalLanguage{"zh-tw", 0x0404}, RegionalLanguage{"zh-cn", 0x0804},
    RegionalLanguage{"zh-hk", 0x0C04}, RegionalLanguage{"zh-sg", 0x1004}, RegionalLanguage{"zh-mo", 0x1404},
    RegionalLanguage{"de-de", 0x0407}, RegionalLanguage{"de-ch", 0x0807}, RegionalLanguage{"de-at", 0x0C07},
    RegionalLanguage{"de-lu", 0x1007}, RegionalLanguage{"de-li", 0x1407}, RegionalLanguage{"en-us", 0x0409},
    RegionalLanguage{"en-gb", 0x0809}, RegionalLanguage{"en-au", 0x0C09}, RegionalLanguage{"en-ca", 0x1009},
    RegionalLanguage{"en-nz", 0x1409}, RegionalLanguage{"en-ie", 0x1809}, RegionalLanguage{"en-za", 0x1C09},
    RegionalLanguage{"en-jm", 0x2009}, RegionalLanguage{"en-bz", 0x2809}, RegionalLanguage{"en-tt", 0x2C09},
    RegionalLanguage{"en-zw", 0x3009}, RegionalLanguage{"en-ph", 0x3409}, RegionalLanguage{"en-in", 0x4009},
    RegionalLanguage{"en-my", 0x4409}, RegionalLanguage{"en-sg", 0x4809}, RegionalLanguage{"es-es", 0x0C0A},
    RegionalLanguage{"es-mx", 0x080A}, RegionalLanguage{"es-gt", 0x100A}, RegionalLanguage{"es-cr", 0x140A},
    RegionalLanguage{"es-pa", 0x180A}, RegionalLanguage{"es-do", 0x1C0A}, RegionalLanguage{"es-ve", 0x200A},
    RegionalLanguage{"es-co", 0x240A}, RegionalLanguage{"es-pe", 0x280A}, RegionalLanguage{"es-ar", 0x2C0A},
    RegionalLanguage{"es-ec", 0x300A}, RegionalLanguage{"es-cl", 0x340A}, RegionalLanguage{"es-uy", 0x380A},
    RegionalLanguage{"es-py", 0x3C0A}, RegionalLanguage{"es-bo", 0x400A}, RegionalLanguage{"es-sv", 0x440A},
    RegionalLanguage{"es-hn", 0x480A}, RegionalLanguage{"es-ni", 0x4C0A}, RegionalLanguage{"es-pr", 0x500A},
    RegionalLanguage{"es-us", 0x540A}, RegionalLanguage{"fr-fr", 0x040C}, RegionalLanguage{"fr-be", 0x080C},
    RegionalLanguage{"fr-ca", 0x0C0C}, RegionalLanguage{"fr-ch", 0x100C}, RegionalLanguage{"fr-lu", 0x140C},
    RegionalLanguage{"fr-mc", 0x180C}, RegionalLanguage{"it-it", 0x0410}, RegionalLanguage{"it-ch", 0x0810},
    RegionalLanguage{"ja-jp", 0x0411}, RegionalLanguage{"ko-kr", 0x0412}, RegionalLanguage{"nl-nl", 0x0413},
    RegionalLanguage{"nl-be", 0x0813}, RegionalLanguage{"nb-no", 0x0414}, RegionalLanguage{"nn-no", 0x0814},
    RegionalLanguage{"pl-pl", 0x0415}, RegionalLanguage{"pt-br", 0x0416}, RegionalLanguage{"pt-pt", 0x0816},
    RegionalLanguage{"ro-ro", 0x0418}, RegionalLanguage{"ru-ru", 0x0419}, RegionalLanguage{"hr-hr", 0x041A},
    RegionalLanguage{"sr-rs", 0x241A}, RegionalLanguage{"sv-se", 0x041D}, RegionalLanguage{"sv-fi", 0x081D},
    RegionalLanguage{"tr-tr", 0x041F}, RegionalLanguage{"ms-my", 0x043E}, RegionalLanguage{"ms-bn", 0x083E},
    RegionalLanguage{"hi-in", 0x0439}, RegionalLanguage{"el-gr", 0x0408}, RegionalLanguage{"fi-fi", 0x040B},
    RegionalLanguage{"da-dk", 0x0406}, RegionalLanguage{"cs-cz", 0x0405}, RegionalLanguage{"hu-hu", 0x040E},
    RegionalLanguage{"he-il", 0x040D}, RegionalLanguage{"uk-ua", 0x0422}, RegionalLanguage{"ca-es", 0x0403},
};

struct LanguageAlias {
    std::string_view threeLetters;
    std::string_view twoLetters;
};

// The ISO 639-2 codes of the languages above, in both the bibliographic and the terminological form where
// they differ ("fre" and "fra"), and the two-letter code each stands for.
constexpr std::array kThreeLetterLanguages{
    LanguageAlias{"ara", "ar"}, LanguageAlias{"bul", "bg"}, LanguageAlias{"cat", "ca"}, LanguageAlias{"chi", "zh"},
    LanguageAlias{"zho", "zh"}, LanguageAlias{"cze", "cs"}, LanguageAlias{"ces", "cs"}, LanguageAlias{"dan", "da"},
    LanguageAlias{"ger", "de"}, LanguageAlias{"deu", "de"}, LanguageAlias{"gre", "el"}, LanguageAlias{"ell", "el"},
    LanguageAlias{"eng", "en"}, LanguageAlias{"spa", "es"}, LanguageAlias{"fin", "fi"}, LanguageAlias{"fre", "fr"},
    LanguageAlias{"fra", "fr"}, LanguageAlias{"heb", "he"}, LanguageAlias{"hun", "hu"}, LanguageAlias{"ice", "is"},
    LanguageAlias{"isl", "is"}, LanguageAlias{"ita", "it"}, LanguageAlias{"jpn", "ja"}, LanguageAlias{"kor", "ko"},
    LanguageAlias{"dut", "nl"}, LanguageAlias{"nld", "nl"}, LanguageAlias{"nor", "no"}, LanguageAlias{"nob", "nb"},
    LanguageAlias{"nno", "nn"}, LanguageAlias{"pol", "pl"}, LanguageAlias{"por", "pt"}, LanguageAlias{"roh", "rm"},
    LanguageAlias{"rum", "ro"}, LanguageAlias{"ron", "ro"}, LanguageAlias{"rus", "ru"}, LanguageAlias{"hrv", "hr"},
    LanguageAlias{"srp", "sr"}, LanguageAlias{"slo", "sk"}, LanguageAlias{"slk", "sk"}, LanguageAlias{"alb", "sq"},
    LanguageAlias{"sqi", "sq"}, LanguageAlias{"swe", "sv"}, LanguageAlias{"tha", "th"}, LanguageAlias{"tur", "tr"},
    LanguageAlias{"urd", "ur"}, LanguageAlias{"ind", "id"}, LanguageAlias{"ukr", "uk"}, LanguageAlias{"bel", "be"},
    LanguageAlias{"slv", "sl"}, LanguageAlias{"est", "et"}, LanguageAlias{"lav", "lv"}, LanguageAlias{"lit", "lt"},
    LanguageAlias{"per", "fa"}, LanguageAlias{"fas", "fa"}, LanguageAlias{"vie", "vi"}, LanguageAlias{"arm", "hy"},
    LanguageAlias{"hye", "hy"}, LanguageAlias{"aze", "az"}, LanguageAlias{"baq", "eu"}, LanguageAlias{"eus", "eu"},
    LanguageAlias{"mac", "mk"}, LanguageAlias{"mkd", "mk"}, LanguageAlias{"afr", "af"}, LanguageAlias{"geo", "ka"},
    LanguageAlias{"kat", "ka"}, LanguageAlias{"fao", "fo"}, LanguageAlias{"hin", "hi"}, LanguageAlias{"may", "ms"},
    LanguageAlias{"msa", "ms"}, LanguageAlias{"kaz", "kk"}, LanguageAlias{"swa", "sw"}, LanguageAlias{"uzb", "uz"},
    LanguageAlias{"tat", "tt"}, LanguageAlias{"ben", "bn"}, LanguageAlias{"pan", "pa"}, LanguageAlias{"guj", "gu"},
    LanguageAlias{"ori", "or"}, LanguageAlias{"tam", "ta"}, LanguageAlias{"tel", "te"}, LanguageAlias{"kan", "kn"},
    LanguageAlias{"mal", "ml"}, LanguageAlias{"asm", "as"}, LanguageAlias{"mar", "mr"}, LanguageAlias{"san", "sa"},
    LanguageAlias{"wel", "cy"}, LanguageAlias{"cym", "cy"}, LanguageAlias{"glg", "gl"}, LanguageAlias{"nep", "ne"},
    LanguageAlias{"fry", "fy"}, LanguageAlias{"gle", "ga"}, LanguageAlias{"mlt", "mt"},
};

std::string lowered(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(), [](char c) {
        if (c == '_') return '-';
        return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    });
    return out;
}

}  // namespace

std::optional<uint16_t> localeOfLanguage(std::string_view code) {
    std::string tag = lowered(trimmed(code));
    const size_t languageEnd = std::min(tag.find('-'), tag.size());
    for (const auto& alias : kThreeLetterLanguages) {
        if (alias.threeLetters == std::string_view(tag).substr(0, languageEnd)) {
            tag.replace(0, languageEnd, alias.twoLetters);
            break;
        }
    }
    for (const auto& regional : kRegionalLanguages) {
        if (regional.code == tag) return regional.locale;
    }
    const std::string_view language = std::string_view(tag).substr(0, tag.find('-'));
    for (const auto& primary : kPrimaryLanguages) {
        if (primary.code == language) return primary.id;
    }
    return std::nullopt;
}

}  // namespace qp
