// SPDX-License-Identifier: GPL-3.0-or-later
#include "index_key.h"

#include <algorithm>

#include "text_encoding.h"

namespace kova {

namespace {

std::optional<uint16_t> tablePosition(const std::vector<uint16_t>& table, uint32_t character) {
    auto at = std::find(table.begin(), table.end(), character);
    if (at == table.end()) return std::nullopt;
    return static_cast<uint16_t>(at - table.begin());
}

}  // namespace

KeyForm keyFormOf(const IndexHeader& header) {
    if (header.at(indexField::codePage) != codePageUtf16) return KeyForm::bytes;
    return header.at(indexField::singleByteForm) == 1 ? KeyForm::positions8 : KeyForm::positions16;
}

std::optional<KeyRead> readKey(ByteView record, size_t offset, size_t limit, KeyForm form) {
    if (offset >= limit || !record.fits(offset, 1)) return std::nullopt;
    uint8_t lengthByte = record.u8(offset);
    size_t length = form == KeyForm::positions8 ? lengthByte & 0x7F : lengthByte;
    if (offset + 1 + length > limit || !record.fits(offset + 1, length)) return std::nullopt;
    KeyRead read;
    read.size = 1 + length;
    read.key.bytes = record.sub(offset + 1, length).toVector();
    if (form == KeyForm::positions16) {
        read.oddLength = length % 2 != 0;
        for (size_t i = 0; i + 1 < length; i += 2) read.key.units.push_back(record.u16(offset + 1 + i));
    } else {
        read.key.units.assign(read.key.bytes.begin(), read.key.bytes.end());
    }
    return read;
}

std::string keyText(const IndexKey& key, uint32_t codePage, const IndexTables& tables) {
    ByteView bytes(key.bytes);
    if (codePage == codePageUtf8) return bytes.toString();
    if (codePage != codePageUtf16) return utf8From1252(bytes);
    std::string text;
    for (uint16_t position : key.units)
        appendUtf8(text, position < tables.characters.size() ? tables.characters[position] : replacementCharacter);
    return text;
}

size_t positionsOutsideTable(const IndexKey& key, KeyForm form, const IndexTables& tables) {
    if (form == KeyForm::bytes) return 0;
    return static_cast<size_t>(
        std::count_if(key.units.begin(), key.units.end(), [&](uint16_t p) { return p >= tables.characters.size(); }));
}

std::optional<IndexKey> keyFromText(const std::string& utf8, KeyForm form, uint32_t codePage,
                                    const IndexTables& tables) {
    const std::optional<std::vector<uint32_t>> characters = utf8Characters(utf8);
    IndexKey key;
    if (!characters || !keyFromCharacters(*characters, form, codePage, tables, key)) return std::nullopt;
    return key;
}

bool keyFromCharacters(const std::vector<uint32_t>& characters, KeyForm form, uint32_t codePage,
                       const IndexTables& tables, IndexKey& key) {
    key.bytes.clear();
    key.units.clear();
    for (uint32_t c : characters) {
        if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) c = replacementCharacter;
        if (form == KeyForm::bytes && codePage == codePageUtf8) {
            char utf8[4];
            key.bytes.insert(key.bytes.end(), utf8, utf8 + encodeUtf8(utf8, c));
            continue;
        }
        if (form == KeyForm::bytes) {
            const std::optional<uint8_t> byte = byteOf1252(c);
            if (!byte) return false;
            key.bytes.push_back(*byte);
            continue;
        }
        std::optional<uint16_t> position = tablePosition(tables.characters, c);
        if (!position && c != 0) position = tablePosition(tables.folds, c);
        if (!position) return false;
        key.units.push_back(*position);
        if (form == KeyForm::positions16) key.bytes.push_back(static_cast<uint8_t>(*position >> 8));
        key.bytes.push_back(static_cast<uint8_t>(*position));
    }
    if (form == KeyForm::bytes) key.units.assign(key.bytes.begin(), key.bytes.end());
    return true;
}

}  // namespace kova
