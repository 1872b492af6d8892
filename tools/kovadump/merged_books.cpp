// SPDX-License-Identifier: GPL-3.0-or-later
#include "merged_books.h"

#include <algorithm>

namespace kova {

namespace {

constexpr uint8_t endOfFileRecord[] = {0xE9, 0x8E, 0x0D, 0x0A};

bool isRecordZero(ByteView record) { return record.fits(16, 4) && record.sub(16, 4).toString() == "KOVA"; }

bool isEndOfFile(ByteView record) {
    return record.size() == sizeof endOfFileRecord &&
           std::equal(record.data(), record.data() + record.size(), std::begin(endOfFileRecord));
}

void putU32(std::vector<uint8_t>& out, size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i) out[at + i] = static_cast<uint8_t>(value >> (24 - 8 * i));
}

// A database holding the given records of `book`, with the carrying book's type and creator.
std::vector<uint8_t> databaseOf(const Book& book, size_t first, size_t count) {
    const size_t listEnd = pdbHeaderSize + count * pdbRecordEntrySize + 2;
    std::vector<uint8_t> file(listEnd, 0);
    std::copy(book.fileBytes().begin(),
              book.fileBytes().begin() + std::min<size_t>(pdbHeaderSize, book.fileBytes().size()), file.begin());
    file[76] = static_cast<uint8_t>(count >> 8);
    file[77] = static_cast<uint8_t>(count);
    for (size_t i = 0; i < count; ++i) {
        const ByteView record = book.record(first + i);
        putU32(file, pdbHeaderSize + i * pdbRecordEntrySize, static_cast<uint32_t>(file.size()));
        putU32(file, pdbHeaderSize + i * pdbRecordEntrySize + 4, static_cast<uint32_t>(2 * i));
        file.insert(file.end(), record.data(), record.data() + record.size());
    }
    return file;
}

}  // namespace

std::vector<MergedBook> readMergedBooks(const Book& book, std::vector<std::string>& faults) {
    std::vector<MergedBook> children;
    const uint32_t first = book.kova().firstMergedRecord;
    const uint32_t count = book.kova().mergedRecordCount;
    if (count == 0 || first == noRecord) return children;
    if (first + static_cast<size_t>(count) > book.recordCount()) {
        faults.push_back("merged records " + std::to_string(first) + "+" + std::to_string(count) +
                         " lie beyond the last record");
        return children;
    }
    const size_t end = first + static_cast<size_t>(count);
    for (size_t start = first; start < end;) {
        if (!isRecordZero(book.record(start))) {
            faults.push_back("merged record " + std::to_string(start) + " does not start a book");
            return children;
        }
        size_t last = start;
        while (last < end && !isEndOfFile(book.record(last))) ++last;
        if (last == end) {
            faults.push_back("the merged book at record " + std::to_string(start) + " has no end-of-file record");
            return children;
        }
        const size_t length = last + 1 - start;
        children.push_back({start, length, Book::fromBytes(databaseOf(book, start, length))});
        start = last + 1;
    }
    return children;
}

}  // namespace kova
