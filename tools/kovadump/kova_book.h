// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A KOVA book read from its bytes: the PDB container, record 0 with its headers, EXTH metadata and
// full name, the decoded text, the image records and the indexes. Reading never fails outright; what is
// wrong with the book is collected as a list of faults (an empty list means a sound book).
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "book_header.h"
#include "book_index.h"
#include "byte_view.h"
#include "exth_reader.h"
#include "image_records.h"
#include "inflected_forms.h"
#include "pdb_file.h"
#include "text_records.h"

namespace kova {

class Book {
public:
    static Book fromBytes(std::vector<uint8_t> bytes);
    static Book fromBytes(const std::string& bytes);
    // A file that cannot be read gives a book with a load error and no records.
    static Book fromFile(const std::filesystem::path& path);

    const std::string& loadError() const { return loadError_; }
    const std::vector<std::string>& faults() const { return faults_; }
    bool sound() const { return loadError_.empty() && faults_.empty(); }

    const std::vector<uint8_t>& fileBytes() const { return bytes_; }
    const PdbHeader& pdbHeader() const { return pdb_; }
    const std::vector<PdbRecord>& records() const { return records_; }
    size_t recordCount() const { return records_.size(); }
    ByteView record(size_t index) const;  // empty when out of range
    std::vector<uint8_t> recordBytes(size_t index) const { return record(index).toVector(); }

    bool hasHeaders() const { return hasHeaders_; }
    const PalmDocHeader& palmDoc() const { return palmDoc_; }
    const KovaHeader& kova() const { return kova_; }
    const std::string& fullName() const { return fullName_; }

    size_t exthBlockLength() const { return exthLength_; }
    const std::vector<ExthRecord>& exthRecords() const { return exth_; }
    std::vector<std::string> exthStrings(uint32_t type) const;   // every record of the type, in order
    std::optional<std::string> exthString(uint32_t type) const;  // the first one
    std::optional<uint32_t> exthNumber(uint32_t type) const;     // the first one, when it has 4 bytes

    const std::vector<TextRecord>& textRecords() const { return textRecords_; }
    const std::vector<uint8_t>& text() const { return text_; }
    std::string textString() const { return {text_.begin(), text_.end()}; }
    // True when every text record was expanded.
    bool textDecoded() const;

    // The image and media records, with the cover and thumbnail marked.
    const std::vector<ImageRecord>& imageRecords() const { return images_; }

    // Every index of the book, in the order they were found; the index whose header record is the given one.
    const std::vector<BookIndex>& indexes() const { return indexes_; }
    const BookIndex* indexAt(size_t headerRecord) const;
    // The forms the inflection rules make of an index's entries, made once while the book is read; null when
    // the book has no inflection index.
    const InflectedForms* inflectedFormsOf(const BookIndex& index) const;

private:
    void parse();
    void checkRecordLayout();
    void readImages(const std::vector<ByteView>& views);
    void makeInflectedForms();

    std::vector<uint8_t> bytes_;
    std::string loadError_;
    std::vector<std::string> faults_;
    PdbHeader pdb_;
    std::vector<PdbRecord> records_;
    bool hasHeaders_ = false;
    PalmDocHeader palmDoc_;
    KovaHeader kova_;
    std::string fullName_;
    size_t exthLength_ = 0;
    std::vector<ExthRecord> exth_;
    std::vector<TextRecord> textRecords_;
    std::vector<uint8_t> text_;
    std::vector<ImageRecord> images_;
    std::vector<BookIndex> indexes_;
    std::vector<std::pair<size_t, InflectedForms>> inflectedForms_;  // by the index's header record
};

}  // namespace kova
