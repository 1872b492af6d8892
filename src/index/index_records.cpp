// SPDX-License-Identifier: GPL-3.0-or-later
#include "index/index_records.h"

#include <algorithm>
#include <array>
#include <string>

#include "container/pdb_database.h"
#include "core/big_endian.h"
#include "core/code_pages.h"
#include "core/message_sink.h"
#include "core/string.h"
#include "core/unicode.h"
#include "core/variable_width.h"
#include "index/phonetic_tables.h"
#include "index/western_collation.h"
#include "index/western_ordering.h"

namespace qp {

namespace {

constexpr size_t kHeaderSize = 192;
constexpr size_t kLargestTagx = 64503;
constexpr size_t kIdxtHeader = 4;  // "IDXT"
// The master entries leave room for the tables that follow them in the header record: this much for the
// western tables, and the size of the Unicode character tables and spell tables of an index that has them.
constexpr size_t kTableReserve = 268;

// Header fields by offset.
namespace field {
constexpr size_t kHeaderLength = 4, kType = 8, kUnknown12 = 12, kUnknown16 = 16, kIdxt = 20, kCount = 24,
                 kCodePage = 28, kLanguage = 32, kTotalEntries = 36, kOrdt = 40, kLigt = 44, kLigtEntries = 48,
                 kStringRecords = 52, kDependentRecords = 56, kSpl1 = 60, kSpl2 = 64, kSpl4 = 68, kSpl5 = 72,
                 kSpl3 = 76, kSpl6 = 80, kSpl3Length = 84, kSpellFields = 88, kExact = 160, kSingleByte = 164,
                 kCharacters = 168, kUnicodeOrdt = 172, kUnicodeFolds = 176, kNameOffset = 180, kNameLength = 184;
}  // namespace field

void pad(std::vector<uint8_t>& record) {
    while (record.size() % 4 != 0) record.push_back(0);
}

void put32(std::vector<uint8_t>& record, size_t offset, uint32_t value) { putBigEndian32(&record[offset], value); }

void appendMagic(std::vector<uint8_t>& out, const char (&magic)[5]) {
    for (size_t i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(magic[i]));
}

// "IDXT" and the offsets, after padding to a multiple of 4; returns where it starts.
size_t appendIdxt(std::vector<uint8_t>& record, const std::vector<size_t>& offsets) {
    pad(record);
    const size_t at = record.size();
    appendMagic(record, "IDXT");
    for (size_t offset : offsets) appendBigEndian16(record, static_cast<uint16_t>(offset));
    pad(record);
    return at;
}

// The values of each tag of an entry, group after group, by tag.
// Calls `use` with each group header of an entry's value list: its tag, its values and their count.
template <typename Use>
void forEachGroup(const std::vector<int32_t>& list, Use use) {
    for (size_t i = 0; i + 1 < list.size();) {
        const auto tag = static_cast<uint8_t>(list[i + 1] & 0xFF);
        const size_t count = std::min(static_cast<size_t>(list[i + 1] >> 8 & 0xFF), list.size() - i - 2);
        use(tag, list.data() + i + 2, count);
        i += 2 + count;
    }
}

// The key as an entry or master entry starts: its length byte and its bytes.
void appendKey(const Index& index, IndexEntryId entry, std::vector<uint8_t>& out) {
    const std::string_view key = index.key(entry);
    if (index.unicode() && index.characterTable().singleByteForm()) {
        out.push_back(static_cast<uint8_t>((key.size() / 2) & 0x7F));
        for (size_t i = 1; i < key.size(); i += 2) out.push_back(static_cast<uint8_t>(key[i]));
        return;
    }
    out.push_back(static_cast<uint8_t>(key.size()));
    out.insert(out.end(), key.begin(), key.end());
}

// The index name in the index's code page: UTF-16 little-endian for a Unicode index.
std::vector<uint8_t> encodedName(const Index& index) {
    std::string bytes;
    if (index.unicode()) {
        for (char16_t unit : utf8ToUtf16(index.name())) {
            bytes.push_back(static_cast<char>(unit & 0xFF));
            bytes.push_back(static_cast<char>(unit >> 8));
        }
    } else if (index.codePage() == kCodePageWestern) {
        encodeFromUtf16(kCodePageWestern, utf8ToUtf16(index.name()), bytes);
    } else {
        bytes = index.name();
    }
    return {bytes.begin(), bytes.end()};
}

// The collation and spell tables of a type 0 index, appended to its header record, with their offsets set.
void appendTables(const Index& index, std::vector<uint8_t>& record) {
    if (index.type() != IndexType::Lookup) return;
    if (index.codePage() == kCodePageWestern) {
        put32(record, field::kOrdt, static_cast<uint32_t>(record.size()));
        appendMagic(record, "ORDT");
        record.insert(record.end(), kWesternOrderingTable.begin(), kWesternOrderingTable.end());
        pad(record);
        put32(record, field::kLigt, static_cast<uint32_t>(record.size()));
        put32(record, field::kLigtEntries, static_cast<uint32_t>(kLigatures.size()));
        appendMagic(record, "LIGT");
        for (const Ligature& ligature : kLigatures)
            record.insert(record.end(), {ligature.ligature, 0, ligature.firstLetter, ligature.secondLetter});
    } else if (index.unicode()) {
        const CharacterTable& table = index.characterTable();
        put32(record, field::kCharacters, static_cast<uint32_t>(table.size()));
        put32(record, field::kSingleByte, table.singleByteForm() ? 1 : 0);
        put32(record, field::kUnicodeOrdt, static_cast<uint32_t>(record.size()));
        appendMagic(record, "ORDT");
        for (char16_t character : table.characters()) {
            if (table.singleByteForm()) {
                record.push_back(static_cast<uint8_t>(character));
            } else {
                appendBigEndian16(record, character);
            }
        }
        pad(record);
        put32(record, field::kUnicodeFolds, static_cast<uint32_t>(record.size()));
        appendMagic(record, "ORDT");
        for (char16_t fold : table.folds()) appendBigEndian16(record, fold);
    }
    pad(record);
    if (const PhoneticTables* spell = index.spellTables()) {
        auto appendTable = [&](size_t offsetField, const char(&magic)[5], const uint8_t* data, size_t size) {
            put32(record, offsetField, static_cast<uint32_t>(record.size()));
            appendMagic(record, magic);
            record.insert(record.end(), data, data + size);
            pad(record);
        };
        appendTable(field::kSpl1, "SPL1", spell->spl1().data(), spell->spl1().size());
        appendTable(field::kSpl2, "SPL2", spell->spl2().data(), spell->spl2().size());
        appendTable(field::kSpl3, "SPL3", reinterpret_cast<const uint8_t*>(spell->spl3().data()), spell->spl3().size());
        appendTable(field::kSpl4, "SPL4", spell->spl4().data(), spell->spl4().size());
        appendTable(field::kSpl5, "SPL5", spell->spl5().data(), spell->spl5().size());
        appendTable(field::kSpl6, "SPL6", spell->spl6().data(), spell->spl6().size());
        put32(record, field::kSpl3Length, static_cast<uint32_t>(spell->spl3().size()));
        const auto fields = spell->headerFields();
        for (size_t i = 0; i < fields.size(); ++i) put32(record, field::kSpellFields + 4 * i, fields[i]);
    }
}

size_t padded(size_t size) { return (size + 3) & ~size_t{3}; }

// The bytes the Unicode character tables and spell tables take in a type 0 header record.
size_t unicodeAndSpellTablesSize(const Index& index) {
    if (index.type() != IndexType::Lookup) return 0;
    size_t size = 0;
    if (index.unicode()) {
        const CharacterTable& table = index.characterTable();
        size += padded(4 + table.size() * (table.singleByteForm() ? 1 : 2)) + padded(4 + 2 * table.size());
    }
    if (const PhoneticTables* spell = index.spellTables()) {
        for (size_t tableSize : {spell->spl1().size(), spell->spl2().size(), spell->spl3().size(), spell->spl4().size(),
                                 spell->spl5().size(), spell->spl6().size()})
            size += padded(4 + tableSize);
    }
    return size;
}

class IndexRecordWriter {
public:
    IndexRecordWriter(Index& index, PdbDatabase& store) : index_(index), store_(store), first_(store.recordCount()) {}

    int32_t write() {
        if (index_.entryCount() == 0) return -1;
        if (!index_.resolveLinks() || !writeRecords()) {
            removeRecords();
            return -1;
        }
        reportEncoding();
        return static_cast<int32_t>(first_);
    }

private:
    struct DataRecord {
        std::vector<uint8_t> bytes;
        std::vector<size_t> offsets;
        IndexEntryId last = 0;
    };

    bool fail(Message<> message) {
        report(index_, message);
        return false;
    }

    bool append(std::vector<uint8_t> record) {
        if (!store_.adoptRecord(std::move(record))) return fail(ErrorCode::RecordNotCreated);
        return true;
    }

    // A data record's header, in a buffer with room for the whole record.
    static std::vector<uint8_t> dataHeader(IndexType type) {
        std::vector<uint8_t> header;
        header.reserve(kIndexRecordLimit);
        header.resize(kHeaderSize, 0);
        appendMagicAt(header, "INDX");
        putBigEndian32(&header[field::kHeaderLength], kHeaderSize);
        putBigEndian32(&header[field::kType], static_cast<uint32_t>(type));
        putBigEndian32(&header[field::kUnknown12], 1);
        putBigEndian32(&header[field::kCodePage], 0xFFFFFFFF);
        putBigEndian32(&header[field::kLanguage], 0xFFFFFFFF);
        return header;
    }

    static void appendMagicAt(std::vector<uint8_t>& record, const char (&magic)[5]) {
        std::copy(magic, magic + 4, record.begin());
    }

    bool closeData(DataRecord& data) {
        const size_t idxt = appendIdxt(data.bytes, data.offsets);
        putBigEndian32(&data.bytes[field::kIdxt], static_cast<uint32_t>(idxt));
        putBigEndian32(&data.bytes[field::kCount], static_cast<uint32_t>(data.offsets.size()));
        return true;
    }

    bool writeRecords() {
        const Tagx tagx = buildTagx(index_);
        const std::vector<uint8_t> tagxBlock = encodeTagx(tagx);
        if (tagxBlock.size() > kLargestTagx) return fail(ErrorCode::IndexInternal);
        for (const TagxRow& row : tagx.rows)
            if (row.tag > tag::kHighest) return fail(ErrorCode::IndexInternal);

        // The header record comes first; it is filled in last.
        if (!append({})) return false;
        std::vector<DataRecord> records;
        if (!cutEntries(tagx, records)) return false;
        std::vector<uint8_t> header = headerRecord(tagxBlock, records);
        if (header.empty()) return false;
        for (DataRecord& data : records)
            if (!append(std::move(data.bytes))) return false;
        for (const std::string& strings : index_.stringRecords()) {
            std::vector<uint8_t> record(strings.begin(), strings.end());
            pad(record);
            if (!append(std::move(record))) return false;
        }
        put32(header, field::kStringRecords, static_cast<uint32_t>(index_.stringRecords().size()));
        if (Index* dependent = index_.dependent()) {
            const size_t before = store_.recordCount();
            if (writeIndex(*dependent, store_) >= 0) {
                put32(header, field::kDependentRecords, static_cast<uint32_t>(store_.recordCount() - before));
            } else if (dependent->failed()) {
                // The dependent index has reported its error already; it becomes this index's too.
                absorbFaults(index_, *dependent);
                return false;
            }
        }
        if (!store_.resizeRecord(first_, header.size()) || !store_.writeRecord(first_, 0, header))
            return fail(ErrorCode::RecordNotCreated);
        return true;
    }

    bool cutEntries(const Tagx& tagx, std::vector<DataRecord>& records) {
        records.push_back({dataHeader(index_.type()), {}, 0});
        size_t idxtSize = kIdxtHeader;
        std::vector<uint8_t> bytes;
        for (IndexEntryId entry : index_.sorted()) {
            bytes = encodeEntry(index_, entry, tagx, std::move(bytes));
            if (kHeaderSize + bytes.size() + kIdxtHeader + 2 > kIndexRecordLimit) return fail(ErrorCode::EntryTooLarge);
            idxtSize += 2;
            if (records.back().bytes.size() + bytes.size() + idxtSize > kIndexRecordLimit) {
                closeData(records.back());
                records.push_back({dataHeader(index_.type()), {}, 0});
                idxtSize = kIdxtHeader + 2;
            }
            DataRecord& data = records.back();
            data.offsets.push_back(data.bytes.size());
            data.bytes.insert(data.bytes.end(), bytes.begin(), bytes.end());
            data.last = entry;
        }
        const bool closed = closeData(records.back());
        // The last record is seldom full: it gives back the room it did not use.
        records.back().bytes.shrink_to_fit();
        return closed;
    }

    std::vector<uint8_t> headerRecord(const std::vector<uint8_t>& tagxBlock, const std::vector<DataRecord>& records) {
        std::vector<uint8_t> header(kHeaderSize, 0);
        appendMagicAt(header, "INDX");
        const std::vector<uint8_t> name = encodedName(index_);
        put32(header, field::kHeaderLength, static_cast<uint32_t>(kHeaderSize + name.size()));
        put32(header, field::kType, static_cast<uint32_t>(index_.type()));
        put32(header, field::kUnknown16, 2);
        put32(header, field::kCount, static_cast<uint32_t>(records.size()));
        put32(header, field::kCodePage, static_cast<uint32_t>(index_.codePage()));
        put32(header, field::kLanguage, index_.language());
        put32(header, field::kTotalEntries, static_cast<uint32_t>(index_.entryCount()));
        put32(header, field::kExact, index_.exact() ? 1 : 0);
        put32(header, field::kNameOffset, kHeaderSize);
        put32(header, field::kNameLength, static_cast<uint32_t>(name.size()));
        header.insert(header.end(), name.begin(), name.end());
        header.insert(header.end(), tagxBlock.begin(), tagxBlock.end());
        pad(header);

        std::vector<size_t> offsets;
        size_t reserve = kTableReserve + (index_.codePage() == kCodePageWestern ? kLigatures.size() : 0);
        const size_t tables = unicodeAndSpellTablesSize(index_);
        for (const DataRecord& data : records) {
            std::vector<uint8_t> master;
            appendKey(index_, data.last, master);
            appendBigEndian16(master, static_cast<uint16_t>(data.offsets.size()));
            if (header.size() + master.size() + reserve + 4 > kIndexRecordLimit) {
                fail(ErrorCode::MasterRecordOverflow);
                return {};
            }
            if (header.size() + master.size() + reserve + tables + 4 > kIndexRecordLimit) {
                report(index_, ErrorCode::IndexHeaderOverflow, index_.name());
                return {};
            }
            reserve += 2;
            offsets.push_back(header.size());
            header.insert(header.end(), master.begin(), master.end());
        }
        put32(header, field::kIdxt, static_cast<uint32_t>(appendIdxt(header, offsets)));
        appendTables(index_, header);
        pad(header);
        return header;
    }

    void removeRecords() {
        while (store_.recordCount() > first_) store_.deleteRecord(store_.recordCount() - 1);
    }

    void reportEncoding() {
        if (index_.unicode() && index_.characterTable().singleByteForm())
            report(index_, InfoCode::IndexSingleByte);
        else if (index_.unicode())
            report(index_, InfoCode::IndexDoubleByte);
        else if (index_.codePage() == kCodePageUtf8)
            report(index_, InfoCode::IndexUtf8);
        else
            report(index_, InfoCode::IndexWestern);
    }

    Index& index_;
    PdbDatabase& store_;
    size_t first_;
};

}  // namespace

Tagx buildTagx(const Index& index) {
    struct TagUse {
        uint8_t tag;
        uint8_t valuesPerGroup;
        size_t mostValues;
    };
    std::array<size_t, tag::kHighest + 1> mostValues{};
    std::array<size_t, tag::kHighest + 1> values{};
    for (IndexEntryId entry = 0; entry < index.entryCount(); ++entry) {
        const std::vector<int32_t>& list = index.values(entry);
        forEachGroup(list, [&](uint8_t tag, const int32_t*, size_t count) { values[tag] += count; });
        forEachGroup(list, [&](uint8_t tag, const int32_t*, size_t) {
            mostValues[tag] = std::max(mostValues[tag], values[tag]);
        });
        forEachGroup(list, [&](uint8_t tag, const int32_t*, size_t) { values[tag] = 0; });
    }
    std::vector<TagUse> placed;
    for (size_t number = 0; number <= tag::kHighest; ++number) {
        const auto tagByte = static_cast<uint8_t>(number);
        if (mostValues[number] > 0) placed.push_back({tagByte, tag::valuesPerGroup(tagByte), mostValues[number]});
    }
    std::stable_sort(placed.begin(), placed.end(),
                     [](const TagUse& a, const TagUse& b) { return a.mostValues < b.mostValues; });
    Tagx tagx;
    unsigned bit = 0;
    for (const TagUse& use : placed) {
        const unsigned bits = use.mostValues == use.valuesPerGroup ? 1 : 2;
        if (bit + bits > 8) {
            tagx.rows.push_back({0, 0, 0, 1});
            bit = 0;
        }
        tagx.rows.push_back({use.tag, use.valuesPerGroup, static_cast<uint8_t>(((1u << bits) - 1) << bit), 0});
        bit += bits;
    }
    tagx.rows.push_back({0, 0, 0, 1});
    for (const TagxRow& row : tagx.rows) tagx.controlBytes += row.end;
    return tagx;
}

std::vector<uint8_t> encodeTagx(const Tagx& tagx) {
    std::vector<uint8_t> block;
    appendMagic(block, "TAGX");
    appendBigEndian32(block, static_cast<uint32_t>(12 + 4 * tagx.rows.size()));
    appendBigEndian32(block, tagx.controlBytes);
    for (const TagxRow& row : tagx.rows) block.insert(block.end(), {row.tag, row.valuesPerGroup, row.mask, row.end});
    return block;
}

std::vector<uint8_t> encodeEntry(const Index& index, IndexEntryId entry, const Tagx& tagx, std::vector<uint8_t> out) {
    out.clear();
    appendKey(index, entry, out);
    size_t controlByte = out.size();
    out.resize(out.size() + tagx.controlBytes, 0);
    // The values go to the end as each row is done; a byte length goes before all the values, after the
    // lengths of the rows before it.
    size_t lengthsEnd = out.size();
    std::vector<uint8_t> length;
    for (const TagxRow& row : tagx.rows) {
        if (row.end) {
            ++controlByte;
            continue;
        }
        const size_t valuesBefore = out.size();
        size_t count = 0;
        forEachGroup(index.values(entry), [&](uint8_t tag, const int32_t* group, size_t groupCount) {
            if (tag != row.tag) return;
            for (size_t k = 0; k < groupCount; ++k) appendForwardInteger(out, static_cast<uint32_t>(group[k]));
            count += groupCount;
        });
        if (count == 0) continue;
        const size_t groups = count / row.valuesPerGroup;
        const unsigned shift = static_cast<unsigned>(__builtin_ctz(row.mask));
        const size_t fits = (row.mask >> shift) == 1 ? 1 : 2;
        if (groups <= fits) {
            out[controlByte] |= static_cast<uint8_t>(groups << shift);
        } else {
            out[controlByte] |= row.mask;
            length.clear();
            appendForwardInteger(length, out.size() - valuesBefore);
            out.insert(out.begin() + static_cast<std::ptrdiff_t>(lengthsEnd), length.begin(), length.end());
            lengthsEnd += length.size();
        }
    }
    return out;
}

int32_t writeIndex(Index& index, PdbDatabase& store) { return IndexRecordWriter(index, store).write(); }

}  // namespace qp
