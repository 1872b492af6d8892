// SPDX-License-Identifier: GPL-3.0-or-later
#include "kova_book.h"

#include <algorithm>
#include <fstream>
#include <iterator>

#include "auxiliary_records.h"
#include "index_finder.h"
#include "toc_tree.h"

namespace kova {

namespace {

constexpr uint8_t endOfFileRecord[] = {0xE9, 0x8E, 0x0D, 0x0A};

std::string recordText(size_t index) { return "record " + std::to_string(index); }

}  // namespace

Book Book::fromBytes(std::vector<uint8_t> bytes) {
    Book book;
    book.bytes_ = std::move(bytes);
    book.parse();
    return book;
}

Book Book::fromBytes(const std::string& bytes) { return fromBytes(std::vector<uint8_t>(bytes.begin(), bytes.end())); }

Book Book::fromFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        Book book;
        book.loadError_ = "cannot open " + path.string();
        return book;
    }
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) {
        Book book;
        book.loadError_ = "cannot read " + path.string();
        return book;
    }
    return fromBytes(std::move(bytes));
}

ByteView Book::record(size_t index) const {
    if (index >= records_.size()) return {};
    return ByteView(bytes_).sub(records_[index].offset, records_[index].length);
}

std::vector<std::string> Book::exthStrings(uint32_t type) const {
    std::vector<std::string> values;
    for (const ExthRecord& r : exth_)
        if (r.type == type) values.emplace_back(r.value.begin(), r.value.end());
    return values;
}

std::optional<std::string> Book::exthString(uint32_t type) const {
    for (const ExthRecord& r : exth_)
        if (r.type == type) return std::string(r.value.begin(), r.value.end());
    return std::nullopt;
}

std::optional<uint32_t> Book::exthNumber(uint32_t type) const {
    for (const ExthRecord& r : exth_)
        if (r.type == type)
            return r.value.size() == 4 ? std::optional<uint32_t>(ByteView(r.value).u32(0)) : std::nullopt;
    return std::nullopt;
}

bool Book::textDecoded() const {
    if (!hasHeaders_ || textRecords_.size() != palmDoc_.textRecordCount) return false;
    for (const TextRecord& r : textRecords_)
        if (!r.decoded) return false;
    return true;
}

void Book::parse() {
    readPdb(ByteView(bytes_), pdb_, records_, faults_);
    if (records_.empty()) return;

    ByteView last = record(records_.size() - 1);
    if (records_.size() < 2 || last.size() != sizeof endOfFileRecord ||
        !std::equal(last.data(), last.data() + last.size(), endOfFileRecord))
        faults_.push_back("missing end-of-file record (E9 8E 0D 0A) at the end of the record list");

    ByteView record0 = record(0);
    hasHeaders_ = readBookHeader(record0, palmDoc_, kova_, fullName_, faults_);
    if (!hasHeaders_) return;

    size_t exthOffset = palmDocHeaderSize + kovaHeaderLength;
    if (kova_.exthFlags & exthPresentFlag) exthLength_ = readExth(record0, exthOffset, exth_, faults_);
    if (kova_.fullNameOffset != exthOffset + exthLength_)
        faults_.push_back("full name offset " + std::to_string(kova_.fullNameOffset) + " should be " +
                          std::to_string(exthOffset + exthLength_) + ", right after the headers and EXTH block");

    std::vector<ByteView> views;
    for (size_t i = 0; i < records_.size(); ++i) views.push_back(record(i));
    readTextRecords(views, palmDoc_, kova_, textRecords_, text_, faults_);
    checkRecordLayout();
    indexes_ = readBookIndexes(views, kova_, faults_);
    for (std::string& fault : checkAuxiliaryRecords(*this)) faults_.push_back(std::move(fault));
    if (const std::optional<TocTree> toc = readTocTree(*this)) {
        for (std::string& fault : checkTocTree(*this, *toc)) faults_.push_back(std::move(fault));
    }
    makeInflectedForms();
    readImages(views);
}

const BookIndex* Book::indexAt(size_t headerRecord) const {
    for (const BookIndex& index : indexes_)
        if (index.headerRecord == headerRecord) return &index;
    return nullptr;
}

const InflectedForms* Book::inflectedFormsOf(const BookIndex& index) const {
    for (const auto& [headerRecord, forms] : inflectedForms_)
        if (headerRecord == index.headerRecord) return &forms;
    return nullptr;
}

// The forms of every index; those of a lookup index must all apply, as a device rejects the book otherwise.
void Book::makeInflectedForms() {
    const BookIndex* inflections = kova_.inflectionIndex != noRecord ? indexAt(kova_.inflectionIndex) : nullptr;
    if (!inflections) return;
    for (const BookIndex& index : indexes_) {
        InflectedForms forms = inflectedForms(index, *inflections);
        if (index.type() == indexTypeLookup)
            for (std::string& fault : listedInflectionFaults(index, forms)) faults_.push_back(std::move(fault));
        inflectedForms_.emplace_back(index.headerRecord, std::move(forms));
    }
}

// After the text records comes a pad record when needed to make the text bytes a multiple of 4;
// the first non-book record follows.
void Book::checkRecordLayout() {
    if (textRecords_.size() != palmDoc_.textRecordCount) return;
    uint64_t textBytes = 0;
    for (const TextRecord& r : textRecords_) textBytes += r.storedLength;
    size_t expectedFirst = textRecords_.size() + 1;
    if (textBytes % 4 != 0) {
        size_t padLength = 4 - textBytes % 4;
        ByteView pad = record(expectedFirst);
        bool zero = pad.size() == padLength;
        for (size_t i = 0; zero && i < pad.size(); ++i) zero = pad.u8(i) == 0;
        if (!zero)
            faults_.push_back("text records total " + std::to_string(textBytes) + " bytes; " +
                              recordText(expectedFirst) + " should be a pad record of " + std::to_string(padLength) +
                              " zero bytes");
        ++expectedFirst;
    }
    if (kova_.firstNonBookRecord != expectedFirst)
        faults_.push_back("first non-book record is " + std::to_string(kova_.firstNonBookRecord) + ", expected " +
                          std::to_string(expectedFirst));
    if (kova_.firstImageRecord >= records_.size())
        faults_.push_back("first image record " + std::to_string(kova_.firstImageRecord) +
                          " is beyond the record list (" + std::to_string(records_.size()) + " records)");
}

// Image records are padded to a multiple of 4, and the cover and thumbnail offsets name one of them.
void Book::readImages(const std::vector<ByteView>& views) {
    const std::optional<uint32_t> cover = exthNumber(201);
    const std::optional<uint32_t> thumbnail = exthNumber(202);
    images_ = readImageRecords(views, kova_.firstImageRecord, cover, thumbnail);
    for (const ImageRecord& image : images_)
        if (image.size % 4 != 0)
            faults_.push_back("image record " + std::to_string(image.number) + " (" + recordText(image.recordIndex) +
                              ") is " + std::to_string(image.size) + " bytes, not padded to a multiple of 4");
    const auto checkOffset = [&](std::optional<uint32_t> offset, const std::string& what) {
        if (offset && *offset >= images_.size())
            faults_.push_back(what + " offset " + std::to_string(*offset) + " lies beyond the " +
                              std::to_string(images_.size()) + " image records");
    };
    checkOffset(cover, "cover");
    checkOffset(thumbnail, "thumbnail");
}

}  // namespace kova
