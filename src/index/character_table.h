// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The character table of a Unicode index: up to 768 characters, each with its folded sort character. Keys of
// the index are held as positions in the table. A new table starts with U+0000, "%" and "_". The first Latin
// character (U+0000 to U+02FF, other than one that folds to nothing or a space) or full-width character
// (U+FF00 to U+FF5F) brings in the folded characters of U+0000 to U+00FF and the capitals "A" to "Z"; the first
// character of U+3000 to U+30FF brings in that whole block.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace qp {

class CharacterTable {
public:
    static constexpr size_t kMaxCharacters = 768;
    // Positions below this fit the single-byte form of the keys.
    static constexpr size_t kSingleByteLimit = 255;

    CharacterTable();

    // The positions of a key's characters (UTF-8) into `positions`, characters added as needed. False when the
    // table would pass its limit; the table is then as it was before the key. Characters beyond U+FFFF have no
    // place in the table: `unmappable` is set and they are left out.
    bool positionsOf(std::string_view utf8, std::vector<uint16_t>& positions, bool& unmappable);

    size_t size() const { return characters_.size(); }
    const std::vector<char16_t>& characters() const { return characters_; }
    const std::vector<char16_t>& folds() const { return folds_; }
    char16_t foldAt(uint16_t position) const { return folds_[position]; }
    // The single-byte form keeps the low byte of each character in its table, so it is used only while every
    // character is at most U+00FF and there are at most 255 of them.
    bool singleByteForm() const { return characters_.size() <= kSingleByteLimit && highestCharacter_ <= 0xFF; }

private:
    // Adds a character with its fold unless it is there; false past the limit.
    bool add(char16_t character);
    bool addBlockFor(char16_t character);
    // Adds a key's character as needed and appends its position; false past the limit.
    bool place(char16_t unit, std::vector<uint16_t>& positions);
    // Forgets what was added since the table had `size` characters.
    void rollBack(size_t size, bool latinAdded, bool kanaAdded);

    std::vector<char16_t> characters_;
    std::vector<char16_t> folds_;
    static constexpr uint16_t kNoPosition = 0xFFFF;
    std::vector<uint16_t> positions_;  // by character, kNoPosition where absent
    std::u16string units_;             // characters being placed, reused from key to key
    char16_t highestCharacter_ = 0;
    bool latinAdded_ = false;
    bool kanaAdded_ = false;
};

}  // namespace qp
