// SPDX-License-Identifier: GPL-3.0-or-later
#include "index_finder.h"

#include <deque>
#include <map>

namespace kova {

namespace {

struct Reference {
    uint64_t record = 0;
    std::string namedBy;
};

class IndexFinder {
public:
    IndexFinder(const std::vector<ByteView>& records, const KovaHeader& kova, std::vector<std::string>& faults)
        : records_(records), kova_(kova), faults_(faults) {}

    std::vector<BookIndex> run() {
        for (const KovaField& field : kovaFields()) {
            uint32_t value = kova_.*field.member;
            if (field.isIndexRecord && value != noRecord) refer(value, field.name);
        }
        while (!pending_.empty()) {
            Reference next = pending_.front();
            pending_.pop_front();
            read(next);
        }
        return std::move(indexes_);
    }

private:
    void refer(uint64_t record, const std::string& namedBy) {
        if (record >= records_.size()) {
            faults_.push_back(namedBy + " " + std::to_string(record) + " is beyond the record list (" +
                              std::to_string(records_.size()) + " records)");
            return;
        }
        pending_.push_back({record, namedBy});
    }

    void read(const Reference& reference) {
        auto known = byRecord_.find(reference.record);
        if (known != byRecord_.end()) {
            indexes_[known->second].namedBy.push_back(reference.namedBy);
            return;
        }
        if (!hasIndexMagic(records_[reference.record])) {
            faults_.push_back(reference.namedBy + " " + std::to_string(reference.record) +
                              " names a record that does not begin with \"INDX\"");
            return;
        }
        BookIndex index = readIndex(records_, reference.record, kova_.textEncoding, faults_);
        index.namedBy.push_back(reference.namedBy);
        checkIndex(index, faults_);
        if (std::optional<size_t> dependent = index.dependentRecord())
            refer(*dependent, "dependent index of the " + index.label());
        if (index.type() == indexTypeNaming) referNamedIndexes(index);
        byRecord_[reference.record] = indexes_.size();
        indexes_.push_back(std::move(index));
    }

    void referNamedIndexes(const BookIndex& naming) {
        for (const IndexEntry& entry : naming.entries)
            if (const TagValues* tag = entry.tag(1))
                for (uint32_t relative : tag->values)
                    refer(uint64_t{kova_.firstNonBookRecord} + relative,
                          "index \"" + naming.keyText(entry.key) + "\" of the naming " + naming.label());
    }

    const std::vector<ByteView>& records_;
    const KovaHeader& kova_;
    std::vector<std::string>& faults_;
    std::deque<Reference> pending_;
    std::map<uint64_t, size_t> byRecord_;
    std::vector<BookIndex> indexes_;
};

}  // namespace

std::vector<BookIndex> readBookIndexes(const std::vector<ByteView>& records, const KovaHeader& kova,
                                       std::vector<std::string>& faults) {
    return IndexFinder(records, kova, faults).run();
}

}  // namespace kova
