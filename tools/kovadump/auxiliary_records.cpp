// SPDX-License-Identifier: GPL-3.0-or-later
#include "auxiliary_records.h"

namespace kova {

namespace {

bool hasMagic(ByteView record, const char* magic) {
    return record.fits(0, 4) && record.u8(0) == static_cast<uint8_t>(magic[0]) &&
           record.u8(1) == static_cast<uint8_t>(magic[1]) && record.u8(2) == static_cast<uint8_t>(magic[2]) &&
           record.u8(3) == static_cast<uint8_t>(magic[3]);
}

void addRun(const Book& book, std::vector<AuxiliaryRecord>& list, uint32_t first, uint32_t count, const char* kind) {
    if (first == noRecord || first == 0) return;
    for (uint32_t i = 0; i < count && first + i < book.recordCount(); ++i) {
        const ByteView record = book.record(first + i);
        AuxiliaryRecord entry{first + i, kind, {}};
        const std::string magic = record.fits(0, 4) ? std::string(reinterpret_cast<const char*>(record.data()), 4) : "";
        if (magic == "HUFF") {
            entry.kind = magic;
            entry.fields = {{"headerLength", record.u32(4)},   {"codeTable", record.u32(8)},
                            {"lengthTable", record.u32(12)},   {"codeTableLE", record.u32(16)},
                            {"lengthTableLE", record.u32(20)}, {"size", record.size()}};
        } else if (magic == "CDIC") {
            entry.kind = magic;
            entry.fields = {{"headerLength", record.u32(4)},
                            {"entries", record.u32(8)},
                            {"bits", record.u32(12)},
                            {"size", record.size()}};
        } else if (magic == "FDST") {
            entry.kind = magic;
            entry.fields = {{"headerLength", record.u32(4)}, {"sections", record.u32(8)}};
        } else {
            entry.fields = {{"size", record.size()}};
        }
        list.push_back(std::move(entry));
    }
}

}  // namespace

std::vector<AuxiliaryRecord> readAuxiliaryRecords(const Book& book) {
    std::vector<AuxiliaryRecord> list;
    if (!book.hasHeaders()) return list;
    const KovaHeader& k = book.kova();
    addRun(book, list, k.huffmanRecordOffset, k.huffmanRecordCount, "HUFF/CDIC");
    for (const DatpRecord& datp : readDatpRecords(book))
        list.push_back(
            {datp.record, "DATP", {{"count", datp.count}, {"shift", datp.shift}, {"described", datp.described}}});
    if (k.fdstRecord != noRecord) addRun(book, list, k.fdstRecord, 1, "FDST");
    addRun(book, list, k.flisRecord, k.flisCount, "FLIS");
    addRun(book, list, k.fcisRecord, k.fcisCount, "FCIS");
    return list;
}

std::vector<DatpRecord> readDatpRecords(const Book& book) {
    std::vector<DatpRecord> list;
    const KovaHeader& k = book.kova();
    if (!book.hasHeaders() || k.datpRecordCount == 0) return list;
    for (uint32_t i = 0; i < k.datpRecordCount && k.datpRecordOffset + i < book.recordCount(); ++i) {
        const ByteView record = book.record(k.datpRecordOffset + i);
        DatpRecord datp;
        datp.record = k.datpRecordOffset + i;
        if (!hasMagic(record, "DATP") || record.u32(4) != 12) {
            list.push_back(datp);
            continue;
        }
        datp.count = record.u8(8);
        datp.shift = record.u8(9);
        datp.described = record.u16(10);
        size_t at = 12;
        if (i == 0)
            for (uint32_t r = 0; r < datp.count; ++r, at += 4) datp.recordStarts.push_back(record.u32(at));
        const size_t step = size_t{1} << (datp.shift & 31);
        for (size_t t = 0; t < datp.described; t += step, at += 4) datp.sparseStarts.push_back(record.u32(at));
        for (size_t t = 0; t < datp.described; ++t, at += 2) datp.lengths.push_back(record.u16(at));
        list.push_back(std::move(datp));
    }
    return list;
}

std::vector<std::string> checkAuxiliaryRecords(const Book& book) {
    std::vector<std::string> faults;
    if (!book.hasHeaders()) return faults;
    const std::vector<TextRecord>& text = book.textRecords();
    const std::vector<DatpRecord> datps = readDatpRecords(book);
    size_t next = 0;  // the text record the next DATP record starts with
    for (size_t i = 0; i < datps.size(); ++i) {
        const DatpRecord& datp = datps[i];
        const std::string where = "DATP record " + std::to_string(datp.record) + ": ";
        if (datp.count != datps.size() || datp.shift != 4) {
            faults.push_back(where + "malformed header (count " + std::to_string(datp.count) + ", shift " +
                             std::to_string(datp.shift) + ")");
            return faults;
        }
        if (i == 0) {
            for (size_t r = 0; r < datp.recordStarts.size(); ++r) {
                const size_t described = r * 27312;
                if (described < text.size() && datp.recordStarts[r] != text[described].textStart)
                    faults.push_back(where + "DATP record " + std::to_string(r) + " is said to start at " +
                                     std::to_string(datp.recordStarts[r]) + ", its first text record starts at " +
                                     std::to_string(text[described].textStart));
            }
        }
        for (size_t t = 0; t < datp.described; ++t) {
            const size_t number = next + t;
            if (number >= text.size()) {
                faults.push_back(where + "describes " + std::to_string(datp.described) + " text records past the " +
                                 std::to_string(text.size()) + " of the book");
                return faults;
            }
            if (text[number].decoded && datp.lengths[t] != text[number].decodedLength)
                faults.push_back(where + "text record " + std::to_string(number + 1) + " is " +
                                 std::to_string(datp.lengths[t]) + " bytes long, it decodes to " +
                                 std::to_string(text[number].decodedLength));
            if (t % 16 == 0 && datp.sparseStarts[t / 16] != text[number].textStart)
                faults.push_back(where + "text record " + std::to_string(number + 1) + " is said to start at " +
                                 std::to_string(datp.sparseStarts[t / 16]) + ", it starts at " +
                                 std::to_string(text[number].textStart));
        }
        next += datp.described;
    }
    if (!datps.empty() && next != text.size())
        faults.push_back("the DATP records describe " + std::to_string(next) + " of the " +
                         std::to_string(text.size()) + " text records");
    if (book.kova().fdstRecord != noRecord && book.kova().fdstRecord < book.recordCount()) {
        const ByteView fdst = book.record(book.kova().fdstRecord);
        if (!hasMagic(fdst, "FDST"))
            faults.push_back("record 0 names record " + std::to_string(book.kova().fdstRecord) + " as FDST");
        uint32_t previousEnd = 0;
        for (uint32_t s = 0; s < fdst.u32(8) && fdst.fits(12 + 8 * s, 8); ++s) {
            const uint32_t start = fdst.u32(12 + 8 * s);
            const uint32_t end = fdst.u32(16 + 8 * s);
            if (start < previousEnd || end < start || end > book.palmDoc().textLength)
                faults.push_back("FDST section " + std::to_string(s) + " [" + std::to_string(start) + ", " +
                                 std::to_string(end) + ") leaves the text or goes backwards");
            previousEnd = end;
        }
    }
    return faults;
}

}  // namespace kova
