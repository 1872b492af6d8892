// SPDX-License-Identifier: GPL-3.0-or-later
#include "index/character_table.h"

#include "core/unicode.h"
#include "index/unicode_folding.h"

namespace qp {

namespace {

bool isLatin(char16_t c) { return c <= 0x02FF || (c >= 0xFF00 && c <= 0xFF5F); }
bool isKana(char16_t c) { return c >= 0x3000 && c <= 0x30FF; }

}  // namespace

CharacterTable::CharacterTable() : positions_(0x10000, kNoPosition) {
    for (char16_t c : {u'\0', u'%', u'_'}) add(c);
}

bool CharacterTable::add(char16_t character) {
    if (positions_[character] != kNoPosition) return true;
    if (characters_.size() >= kMaxCharacters) return false;
    positions_[character] = static_cast<uint16_t>(characters_.size());
    characters_.push_back(character);
    folds_.push_back(foldCharacter(character));
    if (character > highestCharacter_) highestCharacter_ = character;
    return true;
}

bool CharacterTable::addBlockFor(char16_t character) {
    if (isLatin(character) && !latinAdded_) {
        const char16_t fold = foldCharacter(character);
        if (fold == 0 || fold == u' ') return true;
        latinAdded_ = true;
        for (char16_t c = 0; c <= 0xFF; ++c) {
            const char16_t folded = foldCharacter(c);
            if (folded != 0 && !add(folded)) return false;
        }
        for (char16_t c = u'A'; c <= u'Z'; ++c)
            if (!add(c)) return false;
    } else if (isKana(character) && !kanaAdded_) {
        kanaAdded_ = true;
        for (char16_t c = 0x3000; c <= 0x30FF; ++c)
            if (!add(c)) return false;
    }
    return true;
}

void CharacterTable::rollBack(size_t size, bool latinAdded, bool kanaAdded) {
    while (characters_.size() > size) {
        positions_[characters_.back()] = kNoPosition;
        characters_.pop_back();
        folds_.pop_back();
    }
    highestCharacter_ = 0;
    for (char16_t c : characters_)
        if (c > highestCharacter_) highestCharacter_ = c;
    latinAdded_ = latinAdded;
    kanaAdded_ = kanaAdded;
}

std::optional<std::vector<uint16_t>> CharacterTable::positionsOf(std::string_view utf8, bool& unmappable) {
    const size_t size = characters_.size();
    const bool latinAdded = latinAdded_;
    const bool kanaAdded = kanaAdded_;
    std::vector<uint16_t> positions;
    const std::u16string units = utf8ToUtf16(utf8);
    positions.reserve(units.size());
    for (size_t i = 0; i < units.size();) {
        const uint32_t character = nextCodePoint(units, i);
        if (character > 0xFFFF) {
            unmappable = true;
            continue;
        }
        const auto unit = static_cast<char16_t>(character);
        if (!addBlockFor(unit) || !add(unit)) {
            rollBack(size, latinAdded, kanaAdded);
            return std::nullopt;
        }
        positions.push_back(positions_[unit]);
    }
    return positions;
}

}  // namespace qp
