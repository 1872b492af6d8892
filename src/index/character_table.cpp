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

bool CharacterTable::place(char16_t unit, std::vector<uint16_t>& positions) {
    if (!addBlockFor(unit) || !add(unit)) return false;
    positions.push_back(positions_[unit]);
    return true;
}

// A UTF-8 decoder starts afresh at every ASCII byte, so each run of other bytes is decoded on its own and the
// ASCII bytes, most of the characters of most keys, are taken as they are.
bool CharacterTable::positionsOf(std::string_view utf8, std::vector<uint16_t>& positions, bool& unmappable) {
    const size_t size = characters_.size();
    const bool latinAdded = latinAdded_;
    const bool kanaAdded = kanaAdded_;
    positions.clear();
    for (size_t at = 0; at < utf8.size();) {
        bool placed = true;
        if (static_cast<uint8_t>(utf8[at]) < 0x80) {
            placed = place(static_cast<char16_t>(utf8[at++]), positions);
        } else {
            const size_t runStart = at;
            while (at < utf8.size() && static_cast<uint8_t>(utf8[at]) >= 0x80) ++at;
            units_.clear();
            appendUtf8AsUtf16(utf8.substr(runStart, at - runStart), units_);
            for (size_t i = 0; placed && i < units_.size();) {
                const uint32_t character = nextCodePoint(units_, i);
                if (character > 0xFFFF) {
                    unmappable = true;
                    continue;
                }
                placed = place(static_cast<char16_t>(character), positions);
            }
        }
        if (!placed) {
            rollBack(size, latinAdded, kanaAdded);
            return false;
        }
    }
    return true;
}

}  // namespace qp
