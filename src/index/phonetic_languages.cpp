// SPDX-License-Identifier: GPL-3.0-or-later
#include "index/phonetic_languages.h"

namespace qp {

const PhoneticLanguage* findPhoneticLanguage(uint32_t language) {
    constexpr uint32_t primaryLanguageMask = 0x3FF;
    for (const PhoneticLanguage* data :
         {&germanPhonetics(), &englishPhonetics(), &spanishPhonetics(), &frenchPhonetics(), &italianPhonetics()}) {
        if (data->language == (language & primaryLanguageMask)) return data;
    }
    return nullptr;
}

}  // namespace qp
