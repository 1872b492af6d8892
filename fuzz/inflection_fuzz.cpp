// SPDX-License-Identifier: GPL-3.0-or-later
// Makes an inflection rule from a lookup key to an arbitrary form and applies it back: the stored bytes must
// read back as the same rule, and the rule must apply strictly to the key as the index decodes it and give the
// form (compared through the index's folding).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "core/message_sink.h"
#include "core/unicode.h"
#include "index/index.h"
#include "index/inflection_rule.h"

// Input: a selector byte (bit 0: a Unicode index, else a western one), the headword, a zero byte, the form.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const bool unicode = (data[0] & 1) != 0;
    const std::string input(reinterpret_cast<const char*>(data + 1), size - 1);
    const size_t split = input.find('\0');
    if (split == std::string::npos) return 0;
    qp::Index lookup("fuzz", qp::IndexType::Lookup, unicode ? qp::kUnicodeIndexCodePage : 1252, 9, false);
    // Messages are assembled, as a build would, but printed nowhere.
    qp::MessageSink silent;
    lookup.messages = &silent;
    const auto entry = unicode ? lookup.addKey(input.substr(0, split)) : lookup.addKeyBytes(input.substr(0, split));
    if (!entry) return 0;
    const std::u16string key = lookup.readerKey(*entry);
    const std::string formBytes = input.substr(split + 1);
    const std::u16string form = qp::decodeRuleText(formBytes, unicode);
    const qp::FoldFunction fold = lookup.fold();

    const qp::InflectionRule rule = qp::inflectionRule(key, form, fold);
    const auto bytes = qp::encodeRule(rule, unicode);
    if (!bytes) return 0;  // a character that reads as a code byte
    if (qp::decodeRule(*bytes, unicode) != rule) std::abort();
    const auto made = qp::applyRule(key, rule);
    if (!made || made->size() != form.size()) std::abort();
    for (size_t i = 0; i < form.size(); ++i)
        if (fold((*made)[i]) != fold(form[i])) std::abort();
    return 0;
}
