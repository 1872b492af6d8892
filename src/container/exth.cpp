// SPDX-License-Identifier: GPL-3.0-or-later
#include "container/exth.h"

#include <algorithm>

#include "core/big_endian.h"

namespace qp {

void ExthList::append(uint32_t type, std::vector<uint8_t> value) { items_.push_back({type, std::move(value)}); }

void ExthList::set(uint32_t type, std::vector<uint8_t> value) {
    auto first = std::find_if(items_.begin(), items_.end(), [&](const ExthItem& item) { return item.type == type; });
    if (first == items_.end()) {
        append(type, std::move(value));
        return;
    }
    first->value = std::move(value);
    items_.erase(std::remove_if(first + 1, items_.end(), [&](const ExthItem& item) { return item.type == type; }),
                 items_.end());
}

void ExthList::setNumber(uint32_t type, uint32_t value) {
    std::vector<uint8_t> bytes;
    appendBigEndian32(bytes, value);
    set(type, std::move(bytes));
}

size_t ExthList::valueBytes() const {
    size_t total = 0;
    for (const ExthItem& item : items_) total += item.value.size();
    return total;
}

ExthList::LimitOutcome ExthList::fitWithin(size_t limit) {
    LimitOutcome outcome;
    size_t total = valueBytes();
    for (uint32_t type : {exth::kReview, exth::kDescription}) {
        if (total <= limit) break;
        auto last =
            std::find_if(items_.rbegin(), items_.rend(), [&](const ExthItem& item) { return item.type == type; });
        if (last == items_.rend()) continue;
        size_t excess = total - limit;
        size_t removed = std::min(excess, last->value.size());
        last->value.resize(last->value.size() - removed);
        total -= removed;
        ++outcome.truncations;
    }
    outcome.within = total <= limit;
    return outcome;
}

std::vector<uint8_t> ExthList::encodeBlock() const {
    if (items_.empty()) return {};
    size_t length = 12;
    for (const ExthItem& item : items_) length += 8 + item.value.size();
    length = (length + 3) & ~size_t{3};

    std::vector<uint8_t> block;
    block.reserve(length);
    block.insert(block.end(), {'E', 'X', 'T', 'H'});
    appendBigEndian32(block, static_cast<uint32_t>(length));
    appendBigEndian32(block, static_cast<uint32_t>(items_.size()));
    for (const ExthItem& item : items_) {
        appendBigEndian32(block, item.type);
        appendBigEndian32(block, static_cast<uint32_t>(item.value.size() + 8));
        block.insert(block.end(), item.value.begin(), item.value.end());
    }
    block.resize(length);
    return block;
}

std::string_view exthLabel(uint32_t type) {
    switch (type) {
        case exth::kTitle: return "dc:Title        ";
        case exth::kCreator: return "dc:Creator      ";
        case exth::kPublisher: return "dc:Publisher    ";
        case exth::kImprint: return "Imprint         ";
        case exth::kDescription: return "dc:Description  ";
        case exth::kIsbn: return "ISBN            ";
        case exth::kSubject: return "dc:Subject      ";
        case exth::kDate: return "dc:Date         ";
        case exth::kReview: return "Review          ";
        case exth::kContributor: return "dc:Contributor  ";
        case exth::kRights: return "dc:Rights       ";
        case exth::kBasicCode: return "BASICCode       ";
        case exth::kType: return "dc:Type         ";
        case exth::kSource: return "dc:Source       ";
        case exth::kStartReading: return "Start reading   ";
        case exth::kAdult: return "Adult only      ";
        case exth::kRetailPrice: return "Retail price    ";
        case exth::kRetailCurrency: return "Retail currency ";
        case exth::kShortDictionaryLabel: return "Short dic label ";
        default: return "";
    }
}

}  // namespace qp
