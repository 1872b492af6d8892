// SPDX-License-Identifier: GPL-3.0-or-later
// Writes an index of arbitrary entries and reads it back with the book reader: every record must parse
// without a fault, and every key and value must come back in key order.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "book_index.h"
#include "container/pdb_database.h"
#include "core/message_sink.h"
#include "index/index_records.h"

namespace {

// Input: a code page selector, then entries, each a key length, the key bytes and a value count with values.
struct Reader {
    const uint8_t* data;
    size_t size;
    size_t at = 0;
    bool more() const { return at < size; }
    uint8_t byte() { return at < size ? data[at++] : 0; }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Reader in{data, size};
    const uint8_t selector = in.byte();
    const int32_t codePages[] = {1252, 65001, qp::kUnicodeIndexCodePage};
    const int32_t codePage = codePages[selector % 3];
    qp::Index index("fuzz", qp::IndexType::Lookup, codePage, 9, (selector & 0x10) != 0);
    // Messages are assembled, as a build would, but printed nowhere.
    qp::MessageSink silent;
    index.messages = &silent;
    while (in.more()) {
        std::string key;
        for (uint8_t length = in.byte() % 40; length > 0 && in.more(); --length)
            key.push_back(static_cast<char>(in.byte()));
        const auto entry = index.addKey(key);
        for (uint8_t values = in.byte() % 5; values > 0 && in.more(); --values) {
            const uint32_t value = uint32_t{in.byte()} << 16 | uint32_t{in.byte()} << 8 | in.byte();
            if (entry) index.addValues(*entry, static_cast<uint8_t>(1 + value % 2), {value});
        }
        if (entry && (selector & 0x20)) index.addValues(*entry, 3, {*index.addString(key)});
    }
    qp::PdbDatabase store;
    const int32_t header = qp::writeIndex(index, store);
    if (header < 0) return 0;  // empty, or refused with its message (a full character table)
    std::vector<kova::ByteView> records;
    for (size_t i = 0; i < store.recordCount(); ++i) {
        const auto record = store.record(i);
        records.emplace_back(record.data(), record.size());
    }
    std::vector<std::string> faults;
    const kova::BookIndex read = kova::readIndex(records, static_cast<size_t>(header), 65001, faults);
    kova::checkIndex(read, faults);
    if (!faults.empty() || read.entries.size() != index.entryCount()) std::abort();
    for (size_t rank = 0; rank < read.entries.size(); ++rank) {
        const std::string_view key = index.key(index.sorted()[rank]);
        const std::vector<uint8_t>& bytes = read.entries[rank].key.bytes;
        const bool singleByte = index.unicode() && index.characterTable().singleByteForm();
        if (!singleByte && std::string(bytes.begin(), bytes.end()) != key) std::abort();
    }
    return 0;
}
