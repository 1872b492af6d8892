// SPDX-License-Identifier: GPL-3.0-or-later
#include "book_printer.h"

#include <iomanip>
#include <sstream>

#include "auxiliary_records.h"
#include "index_printer.h"
#include "json_writer.h"
#include "merged_books.h"
#include "toc_tree.h"

namespace kova {

namespace {

std::string compressionName(uint16_t compression) {
    switch (compression) {
        case compressionNone: return "none";
        case compressionPalmDoc: return "PalmDOC";
        case compressionHuffman: return "Huffman dictionary";
        default: return "unknown";
    }
}

std::string hexBytes(const std::vector<uint8_t>& bytes) {
    std::ostringstream s;
    for (size_t i = 0; i < bytes.size(); ++i)
        s << (i ? " " : "") << std::hex << std::setw(2) << std::setfill('0') << unsigned{bytes[i]};
    return s.str();
}

// EXTH values: numbers for the numeric types of 4 bytes, text otherwise.
bool isNumberValue(const ExthRecord& r) { return isNumericExthType(r.type) && r.value.size() == 4; }

// Record numbers that are 0xFFFFFFFF mean "no such record"; flags read best in hexadecimal.
std::string fieldText(const KovaField& field, uint32_t value) {
    if (value == noRecord && field.name != std::string("uniqueId")) return "none";
    if (field.isFlags) {
        std::ostringstream s;
        s << "0x" << std::hex << value;
        return s.str();
    }
    return std::to_string(value);
}

std::vector<uint64_t> widen(const std::vector<uint32_t>& values) { return {values.begin(), values.end()}; }

std::vector<uint64_t> widen(const std::vector<uint8_t>& values) { return {values.begin(), values.end()}; }

std::string listText(const std::vector<uint64_t>& values) {
    std::string s;
    for (size_t i = 0; i < values.size(); ++i) {
        if (i > 0) s += ' ';
        s += std::to_string(values[i]);
    }
    return s;
}

void listPdb(const Book& book, std::ostream& out) {
    const PdbHeader& h = book.pdbHeader();
    out << "PDB header\n"
        << "  name: " << h.name << "\n  attributes: " << h.attributes << "\n  version: " << h.version
        << "\n  creationDate: " << h.creationDate << "\n  modificationDate: " << h.modificationDate
        << "\n  lastBackupDate: " << h.lastBackupDate << "\n  modificationNumber: " << h.modificationNumber
        << "\n  appInfoId: " << h.appInfoId << "\n  sortInfoId: " << h.sortInfoId << "\n  type: " << h.type
        << "\n  creator: " << h.creator << "\n  uniqueIdSeed: " << h.uniqueIdSeed
        << "\n  nextRecordListId: " << h.nextRecordListId << "\n  recordCount: " << h.recordCount << '\n';
    out << "Records\n";
    for (size_t i = 0; i < book.records().size(); ++i) {
        const PdbRecord& r = book.records()[i];
        out << "  " << i << ": offset " << r.offset << ", length " << r.length << ", attributes "
            << unsigned{r.attributes} << ", unique ID " << r.uniqueId << '\n';
    }
}

void listHeaders(const Book& book, std::ostream& out) {
    const PalmDocHeader& p = book.palmDoc();
    out << "PalmDOC header\n"
        << "  compression: " << p.compression << " (" << compressionName(p.compression) << ")\n"
        << "  textLength: " << p.textLength << "\n  textRecordCount: " << p.textRecordCount
        << "\n  recordSize: " << p.recordSize << "\n  encryptionType: " << p.encryptionType << '\n';
    out << "KOVA header\n";
    for (const KovaField& field : kovaFields())
        out << "  " << field.name << ": " << fieldText(field, book.kova().*field.member) << '\n';
    out << "EXTH (" << book.exthRecords().size() << " records, " << book.exthBlockLength() << " bytes)\n";
    for (const ExthRecord& r : book.exthRecords()) {
        out << "  " << r.type;
        std::string name = exthTypeName(r.type);
        if (!name.empty()) out << ' ' << name;
        if (isNumberValue(r))
            out << ": " << ByteView(r.value).u32(0) << '\n';
        else
            out << ": " << JsonWriter::quote(exthValueText(r)) << '\n';
    }
    out << "Full name: " << JsonWriter::quote(book.fullName()) << '\n';
}

void listTextRecords(const Book& book, std::ostream& out) {
    out << "Text records\n";
    for (const TextRecord& r : book.textRecords()) {
        out << "  " << r.recordIndex << ": stored " << r.storedLength << ", compressed " << r.compressedLength
            << ", trailing " << r.trailing.size << ", text " << r.textStart << '+' << r.decodedLength;
        if (r.trailing.hasMultibyte)
            out << ", multibyte [" << hexBytes(r.trailing.multibyteBytes) << "] last 0x" << std::hex
                << unsigned{r.trailing.multibyteLast} << std::dec;
        if (r.trailing.hasPositionList)
            out << ", positions [" << listText(positionListPositions(r.trailing.positionValues, r.textStart)) << ']';
        if (r.trailing.hasIndex) {
            out << ", index [";
            if (r.trailing.indexDecoded) {
                for (size_t i = 0; i < r.trailing.indexItems.size(); ++i) {
                    const IndexEntryItem& item = r.trailing.indexItems[i];
                    out << (i ? " " : "") << item.parentLevel << ':' << item.number;
                    if (item.runCount > 1) out << 'x' << item.runCount;
                    if (item.startOffset) out << '@' << *item.startOffset;
                }
            } else {
                out << "undecoded " << hexBytes(r.trailing.indexBytes);
            }
            out << ']';
        }
        out << '\n';
    }
}

void listImages(const Book& book, std::ostream& out) {
    out << "Image records (" << book.imageRecords().size() << ")\n";
    for (const ImageRecord& image : book.imageRecords()) {
        out << "  " << image.number << ": record " << image.recordIndex << ", " << imageKindName(image.kind) << ", "
            << image.size << " bytes";
        if (image.width && image.height) out << ", " << *image.width << 'x' << *image.height;
        if (image.cover) out << ", cover";
        if (image.thumbnail) out << ", thumbnail";
        out << '\n';
    }
}

void jsonPdb(const Book& book, JsonWriter& json) {
    const PdbHeader& h = book.pdbHeader();
    json.key("pdb").beginObject();
    json.key("name").value(h.name).key("attributes").value(uint64_t{h.attributes});
    json.key("version").value(uint64_t{h.version}).key("creationDate").value(uint64_t{h.creationDate});
    json.key("modificationDate").value(uint64_t{h.modificationDate});
    json.key("lastBackupDate").value(uint64_t{h.lastBackupDate});
    json.key("modificationNumber").value(uint64_t{h.modificationNumber});
    json.key("appInfoId").value(uint64_t{h.appInfoId}).key("sortInfoId").value(uint64_t{h.sortInfoId});
    json.key("type").value(h.type).key("creator").value(h.creator);
    json.key("uniqueIdSeed").value(uint64_t{h.uniqueIdSeed});
    json.key("nextRecordListId").value(uint64_t{h.nextRecordListId});
    json.key("recordCount").value(uint64_t{h.recordCount});
    json.endObject();
    json.key("records").beginArray();
    for (const PdbRecord& r : book.records()) {
        json.beginObject().key("offset").value(uint64_t{r.offset}).key("length").value(uint64_t{r.length});
        json.key("attributes").value(uint64_t{r.attributes}).key("uniqueId").value(uint64_t{r.uniqueId});
        json.endObject();
    }
    json.endArray();
}

void jsonHeaders(const Book& book, JsonWriter& json) {
    const PalmDocHeader& p = book.palmDoc();
    json.key("palmDoc").beginObject();
    json.key("compression").value(uint64_t{p.compression}).key("textLength").value(uint64_t{p.textLength});
    json.key("textRecordCount").value(uint64_t{p.textRecordCount}).key("recordSize").value(uint64_t{p.recordSize});
    json.key("encryptionType").value(uint64_t{p.encryptionType});
    json.endObject();
    json.key("kova").beginObject();
    for (const KovaField& field : kovaFields()) json.key(field.name).value(uint64_t{book.kova().*field.member});
    json.endObject();
    json.key("exth").beginArray();
    for (const ExthRecord& r : book.exthRecords()) {
        json.beginObject().key("type").value(uint64_t{r.type});
        std::string name = exthTypeName(r.type);
        if (!name.empty()) json.key("name").value(name);
        if (isNumberValue(r))
            json.key("value").value(uint64_t{ByteView(r.value).u32(0)});
        else
            json.key("value").value(exthValueText(r));
        json.endObject();
    }
    json.endArray();
    json.key("fullName").value(book.fullName());
}

void jsonTextRecords(const Book& book, JsonWriter& json) {
    json.key("textRecords").beginArray();
    for (const TextRecord& r : book.textRecords()) {
        json.beginObject().key("record").value(uint64_t{r.recordIndex});
        json.key("storedLength").value(uint64_t{r.storedLength});
        json.key("compressedLength").value(uint64_t{r.compressedLength});
        json.key("trailingLength").value(uint64_t{r.trailing.size});
        json.key("textStart").value(r.textStart).key("decodedLength").value(uint64_t{r.decodedLength});
        if (r.trailing.hasMultibyte) {
            json.key("multibyte").numbers(widen(r.trailing.multibyteBytes));
            json.key("multibyteLast").value(uint64_t{r.trailing.multibyteLast});
        }
        if (r.trailing.hasPositionList) {
            json.key("positionValues").numbers(widen(r.trailing.positionValues));
            json.key("positions").numbers(positionListPositions(r.trailing.positionValues, r.textStart));
        }
        if (r.trailing.hasIndex) {
            json.key("indexBytes").numbers(widen(r.trailing.indexBytes));
            if (r.trailing.indexDecoded) {
                json.key("indexItems").beginArray();
                for (const IndexEntryItem& item : r.trailing.indexItems) {
                    json.beginObject().key("number").value(uint64_t{item.number});
                    json.key("parentLevel").value(uint64_t{item.parentLevel});
                    json.key("runCount").value(uint64_t{item.runCount});
                    if (item.startOffset) json.key("startOffset").value(uint64_t{*item.startOffset});
                    json.endObject();
                }
                json.endArray();
            }
        }
        json.endObject();
    }
    json.endArray();
}

void jsonImages(const Book& book, JsonWriter& json) {
    json.key("images").beginArray();
    for (const ImageRecord& image : book.imageRecords()) {
        json.beginObject().key("number").value(uint64_t{image.number});
        json.key("record").value(uint64_t{image.recordIndex});
        json.key("kind").value(imageKindName(image.kind)).key("size").value(uint64_t{image.size});
        if (image.width && image.height)
            json.key("width").value(uint64_t{*image.width}).key("height").value(uint64_t{*image.height});
        json.key("cover").boolean(image.cover).key("thumbnail").boolean(image.thumbnail);
        json.endObject();
    }
    json.endArray();
}

void listAuxiliaryRecords(const Book& book, std::ostream& out) {
    const std::vector<AuxiliaryRecord> records = readAuxiliaryRecords(book);
    if (records.empty()) return;
    out << "Auxiliary records (" << records.size() << ")\n";
    for (const AuxiliaryRecord& record : records) {
        out << "  record " << record.record << " " << record.kind << ":";
        for (const auto& [name, value] : record.fields) out << " " << name << " " << value;
        out << '\n';
    }
}

void jsonAuxiliaryRecords(const Book& book, JsonWriter& json) {
    const std::vector<AuxiliaryRecord> records = readAuxiliaryRecords(book);
    json.key("auxiliaryRecords").beginArray();
    for (const AuxiliaryRecord& record : records) {
        json.beginObject();
        json.key("record").value(static_cast<uint64_t>(record.record));
        json.key("kind").value(record.kind);
        for (const auto& [name, value] : record.fields) json.key(name).value(value);
        json.endObject();
    }
    json.endArray();
}

void listMergedBooks(const Book& book, std::ostream& out) {
    std::vector<std::string> faults;
    const std::vector<MergedBook> children = readMergedBooks(book, faults);
    if (children.empty() && faults.empty()) return;
    out << "Merged books (" << children.size() << ")\n";
    for (const MergedBook& child : children) {
        out << "  records " << child.firstRecord << " to " << child.firstRecord + child.recordCount - 1 << ": "
            << JsonWriter::quote(child.book.fullName()) << ", text " << child.book.text().size() << " bytes"
            << (child.book.sound() ? "" : ", not sound") << '\n';
    }
    for (const std::string& fault : faults) out << "  fault: " << fault << '\n';
}

void jsonMergedBooks(const Book& book, JsonWriter& json) {
    std::vector<std::string> faults;
    const std::vector<MergedBook> children = readMergedBooks(book, faults);
    json.key("mergedBooks").beginArray();
    for (const MergedBook& child : children) {
        json.beginObject();
        json.key("firstRecord").value(static_cast<uint64_t>(child.firstRecord));
        json.key("recordCount").value(static_cast<uint64_t>(child.recordCount));
        json.key("fullName").value(child.book.fullName());
        json.key("sound").boolean(child.book.sound());
        json.endObject();
    }
    for (const std::string& fault : faults) json.beginObject().key("fault").value(fault).endObject();
    json.endArray();
}

void jsonToc(const Book& book, JsonWriter& json) {
    const std::optional<TocTree> toc = readTocTree(book);
    if (!toc) return;
    json.key("toc").beginArray();
    for (const TocTreeNode& node : toc->nodes) {
        json.beginObject();
        json.key("rank").value(static_cast<uint64_t>(node.rank));
        json.key("key").value(node.key);
        json.key("label").value(node.label);
        json.key("class").value(node.className);
        json.key("depth").value(static_cast<uint64_t>(node.depth));
        json.key("position").value(static_cast<uint64_t>(node.position));
        json.key("length").value(static_cast<uint64_t>(node.length));
        json.key("navigationList").boolean(node.inNavigationList);
        if (node.parent) json.key("parent").value(static_cast<uint64_t>(*node.parent));
        if (node.firstChild) json.key("firstChild").value(static_cast<uint64_t>(*node.firstChild));
        if (node.lastChild) json.key("lastChild").value(static_cast<uint64_t>(*node.lastChild));
        json.key("properties").beginArray();
        for (const auto& [tag, value] : node.properties) {
            json.beginObject();
            json.key("tag").value(static_cast<uint64_t>(tag));
            json.key("value").value(static_cast<uint64_t>(value));
            json.endObject();
        }
        json.endArray();
        json.endObject();
    }
    json.endArray();
}

}  // namespace

void printListing(const Book& book, std::ostream& out) {
    listPdb(book, out);
    if (!book.hasHeaders()) return;
    listHeaders(book, out);
    listTextRecords(book, out);
    listImages(book, out);
    listIndexes(book, out);
    listAuxiliaryRecords(book, out);
    listMergedBooks(book, out);
    if (const std::optional<TocTree> toc = readTocTree(book)) {
        out << "Table of contents (" << toc->nodes.size() << " entries)\n";
        printTocTree(*toc, out);
    }
    if (book.textDecoded()) {
        out << "Text (" << book.text().size() << " bytes)\n";
        out.write(reinterpret_cast<const char*>(book.text().data()), static_cast<std::streamsize>(book.text().size()));
        out << '\n';
    }
}

void printJson(const Book& book, std::ostream& out) {
    JsonWriter json(out);
    json.beginObject();
    jsonPdb(book, json);
    if (book.hasHeaders()) {
        jsonHeaders(book, json);
        jsonTextRecords(book, json);
        jsonImages(book, json);
        jsonIndexes(book, json);
        jsonToc(book, json);
        jsonAuxiliaryRecords(book, json);
        jsonMergedBooks(book, json);
        if (book.textDecoded()) json.key("text").value(book.textString());
    }
    json.key("faults").beginArray();
    for (const std::string& fault : book.faults()) json.value(fault);
    json.endArray();
    json.endObject();
    out << '\n';
}

}  // namespace kova
