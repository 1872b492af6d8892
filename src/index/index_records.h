// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Writing an index as records: its header record (a 192-byte header, the name, the TAGX block, the master
// entries and their IDXT, the collation and spell tables), its data records (a 192-byte header, the entries back
// to back, their IDXT), its string records and its dependent index, in that order.
//
// An entry is its key (a length byte and the key), its control bytes, the byte lengths of the tags whose group
// count does not fit their mask, then the values of its tags as forward variable-width integers, tag after tag
// in the order of the TAGX rows. The TAGX places the tags in ascending order of the most values one entry gives
// them (ties by tag number); a tag that never has more than one group takes one bit of a control byte, others
// two, whose value is the group count when it is 1 or 2 and 3 (all bits) for more, with the byte length of the
// values following the control bytes.
#include <cstdint>
#include <vector>

#include "index/index.h"

namespace qp {

class PdbDatabase;

// Records of one record: the whole entry (key, control bytes, values) and its offset table must stay within this.
constexpr size_t kIndexRecordLimit = 64504;

struct TagxRow {
    uint8_t tag = 0;
    uint8_t valuesPerGroup = 0;
    uint8_t mask = 0;
    uint8_t end = 0;  // 1 closes a control byte
};

struct Tagx {
    std::vector<TagxRow> rows;
    uint32_t controlBytes = 0;
};

// The TAGX of an index's entries.
Tagx buildTagx(const Index& index);
// The TAGX block as written: "TAGX", its length, the control byte count, the rows.
std::vector<uint8_t> encodeTagx(const Tagx& tagx);
// One entry as a data record holds it. `out` lends its buffer, so that a writer reuses one from entry to entry;
// what it held is replaced.
std::vector<uint8_t> encodeEntry(const Index& index, IndexEntryId entry, const Tagx& tagx,
                                 std::vector<uint8_t> out = {});

// Writes the index (sorting it and resolving its links first) into the store, records appended. Returns the
// number of its header record, or -1 for an index without entries or a failed build; a failed build leaves the
// store as it was. Faults go to the index's header; the console line of its encoding follows a written index.
int32_t writeIndex(Index& index, PdbDatabase& store);

}  // namespace qp
