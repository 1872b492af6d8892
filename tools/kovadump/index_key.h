// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Entry keys of an index: a length byte and the key in one of three forms. Bytes of the code page (western
// and UTF-8 indexes); or, in a UTF-16 index, positions in its Unicode character table, one byte each in the
// single-byte form (the length byte counts characters) or 16 bits each (the length byte counts bytes).
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "byte_view.h"
#include "index_header.h"
#include "index_tables.h"

namespace kova {

enum class KeyForm { bytes, positions8, positions16 };

KeyForm keyFormOf(const IndexHeader& header);

struct IndexKey {
    std::vector<uint8_t> bytes;   // as stored, without the length byte
    std::vector<uint16_t> units;  // the bytes, or the table positions of a UTF-16 index
};

struct KeyRead {
    IndexKey key;
    size_t size = 0;         // length byte and key bytes
    bool oddLength = false;  // a 16-bit key whose byte length is odd
};

// The key at offset; nothing when it runs past limit.
std::optional<KeyRead> readKey(ByteView record, size_t offset, size_t limit, KeyForm form);

// The key as UTF-8: western keys through windows-1252, UTF-16 keys through the character table (U+FFFD for a
// position outside it), UTF-8 keys as they are.
std::string keyText(const IndexKey& key, uint32_t codePage, const IndexTables& tables);

// Units of a UTF-16 key that lie outside the character table.
size_t positionsOutsideTable(const IndexKey& key, KeyForm form, const IndexTables& tables);

// A query (UTF-8) in an index's key form: windows-1252 bytes for a western index; table positions for a
// UTF-16 index, where a character missing from the table takes a position whose fold is that character.
// Nothing when a character has no place in the index.
std::optional<IndexKey> keyFromText(const std::string& utf8, KeyForm form, uint32_t codePage,
                                    const IndexTables& tables);
// The same for characters, made in `key` (whose buffers a caller making many keys keeps); false when a character
// has no place in the index. One that UTF-8 cannot carry (a surrogate, beyond U+10FFFF) stands as U+FFFD.
bool keyFromCharacters(const std::vector<uint32_t>& characters, KeyForm form, uint32_t codePage,
                       const IndexTables& tables, IndexKey& key);

}  // namespace kova
