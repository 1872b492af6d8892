// SPDX-License-Identifier: GPL-3.0-or-later
// Capturing dictionary markup into entries, and the faults of the markup.
#include "index/index_markup.h"

#include <gtest/gtest.h>

#include "captured_sink.h"

namespace {

using qp::IndexElement;

struct Markup {
    std::string name;
    std::vector<qp::IndexAttribute> attributes = {};
    std::string text = {};
};

// Feeds a sequence of elements of "d.html": "/" closes the innermost one. Positions count up by 10 per step;
// each step is a line.
class Capture {
public:
    Capture() { markup.messages = &log; }
    void run(const std::vector<Markup>& items) {
        for (const Markup& item : items) {
            position += 10;
            if (item.name == "/") {
                markup.close(position);
            } else {
                markup.open(IndexElement{item.name, item.attributes, position, item.text, line(), "d.html"});
            }
        }
    }
    int line() const { return static_cast<int>(position / 10); }
    // A message that names the line of its element.
    bool namesLine(int number) const {
        char expected[40];
        std::snprintf(expected, sizeof expected, "line: %07d in file: d.html", number);
        return std::any_of(log.lines.begin(), log.lines.end(),
                           [&](const std::string& printed) { return printed.find(expected) != std::string::npos; });
    }
    CapturedSink log;
    qp::IndexMarkup markup;
    uint64_t position = 0;
};

TEST(IndexMarkup, EntriesWithHeadwordsKeysAndRanges) {
    Capture capture;
    capture.run({{"idx:entry", {{"name", "main"}, {"id", "e1"}}},
                 {"idx:orth", {}, " Apple "},
                 {"/"},
                 {"idx:key", {{"name", "fruits"}, {"each-word", "yes"}, {"scriptable", "yes"}}, "red fruit"},
                 {"/"},
                 {"tei-ms:entry"},
                 {"tei-ms:orth", {{"value", "pip"}}, "ignored"},
                 {"/"},
                 {"/"},
                 {"/"}});
    const qp::DictionaryMarkup gathered = capture.markup.handOver();
    const auto& entries = gathered.entries;
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].headword, "Apple");
    EXPECT_EQ(entries[0].details().id, "e1");
    EXPECT_EQ(entries[0].text.start, 10u);
    EXPECT_EQ(entries[0].text.end, 100u);
    ASSERT_EQ(entries[0].details().keys.size(), 2u);
    EXPECT_EQ(entries[0].details().keys[1].text, "fruit");
    EXPECT_TRUE(entries[0].details().keys[1].scriptable);
    EXPECT_EQ(entries[1].headword, "pip");  // "value" wins over the text
    EXPECT_EQ(entries[1].parent, 0);
    EXPECT_EQ(gathered.indexNames[entries[0].index], "main");
    EXPECT_EQ(gathered.indexNames[entries[1].index], "");
    EXPECT_FALSE(entries[1].extras);  // nothing rare, nothing apart
    EXPECT_FALSE(capture.markup.failed());
}

TEST(IndexMarkup, PropertiesShortPartsAndInflections) {
    Capture capture;
    capture.run({{"idx:entry"},
                 {"idx:orth", {}, "run"},
                 {"/"},
                 {"idx:short"},
                 {"/"},
                 {"idx:string", {{"name", "ipa"}, {"value", "r\xCA\x8Cn"}}},
                 {"/"},
                 {"idx:int", {{"name", "rank"}, {"value", "-12"}}},
                 {"/"},
                 {"idx:subentry", {{"name", "note"}}, "see also"},
                 {"/"},
                 {"idx:infl", {{"inflgrp", "verb"}}},
                 {"idx:iform", {{"value", "ran"}, {"name", "past"}}},
                 {"/"},
                 {"/"},
                 {"/"}});
    const qp::DictionaryMarkup gathered = capture.markup.handOver();
    const qp::DictionaryEntry& entry = gathered.entries[0];
    const qp::EntryExtras& details = entry.details();
    ASSERT_EQ(details.shortParts.size(), 1u);
    EXPECT_EQ(details.shortParts[0].start, 40u);
    EXPECT_EQ(details.shortParts[0].end, 50u);
    ASSERT_EQ(details.properties.size(), 3u);
    EXPECT_EQ(details.properties[1].number, -12);
    EXPECT_EQ(details.properties[2].text, "see also");
    ASSERT_EQ(entry.inflections.size(), 1u);
    EXPECT_EQ(entry.inflections[0].kind, "verb");
    EXPECT_EQ(entry.inflections[0].forms[0].name, "past");
}

struct FaultCase {
    const char* what;
    std::vector<Markup> markup;
    std::optional<qp::ErrorCode> error;
    std::optional<qp::WarningCode> warning;
    int line = 0;  // of the element the message names, when it names one
};

class IndexMarkupFaults : public ::testing::TestWithParam<FaultCase> {};

TEST_P(IndexMarkupFaults, Reported) {
    Capture capture;
    capture.run(GetParam().markup);
    const FaultCase& fault = GetParam();
    EXPECT_EQ(capture.markup.failed(), fault.error.has_value()) << fault.what;
    if (fault.error) {
        EXPECT_TRUE(capture.log.saw(*fault.error)) << fault.what;
    }
    if (fault.warning) {
        EXPECT_TRUE(capture.log.saw(*fault.warning)) << fault.what;
    }
    if (fault.line) {
        EXPECT_TRUE(capture.namesLine(fault.line)) << fault.what;
        EXPECT_EQ(capture.log.warnings.size() + capture.log.errors.size(), 1u) << fault.what;
    }
}

std::vector<Markup> entryWith(std::vector<Markup> inside) {
    std::vector<Markup> items{{"idx:entry"}, {"idx:orth", {}, "w"}, {"/"}};
    items.insert(items.end(), inside.begin(), inside.end());
    items.push_back({"/"});
    return items;
}

using E = qp::ErrorCode;
using W = qp::WarningCode;

INSTANTIATE_TEST_SUITE_P(
    Cases, IndexMarkupFaults,
    ::testing::Values(
        FaultCase{"no headword", {{"idx:entry"}, {"/"}}, {}, W::EntryWithoutOrth, 1},
        FaultCase{"empty headword", {{"idx:entry"}, {"idx:orth", {}, " "}, {"/"}, {"/"}}, {}, W::EmptyOrth, 2},
        FaultCase{"empty key", entryWith({{"idx:key", {{"name", "k"}}, " "}, {"/"}}), {}, W::EmptyKey, 4},
        FaultCase{
            "exactness differs",
            entryWith(
                {{"idx:key", {{"name", "k"}, {"exact", "yes"}}, "a"}, {"/"}, {"idx:key", {{"name", "k"}}, "b"}, {"/"}}),
            E::InconsistentExactKeys,
            {}},
        FaultCase{"form without value",
                  entryWith({{"idx:infl"}, {"idx:iform"}, {"/"}, {"idx:iform", {{"value", "x"}}}, {"/"}, {"/"}}),
                  {},
                  W::IformWithoutValue,
                  5},
        FaultCase{"empty group", entryWith({{"idx:infl"}, {"/"}}), {}, W::InflectionGroupEmpty, 4},
        FaultCase{"unnamed subentry", entryWith({{"idx:subentry"}, {"/"}}), E::UnnamedSubentry, {}},
        FaultCase{"string without value",
                  entryWith({{"idx:string", {{"name", "s"}}}, {"/"}}),
                  E::StringPropertyIncomplete,
                  {}},
        FaultCase{"type changes",
                  entryWith({{"idx:string", {{"name", "p"}, {"value", "x"}}},
                             {"/"},
                             {"idx:uint", {{"name", "p"}, {"value", "1"}}},
                             {"/"}}),
                  E::PropertyTypeMismatch,
                  {}},
        FaultCase{
            "name of a key index",
            entryWith(
                {{"idx:key", {{"name", "k"}}, "a"}, {"/"}, {"idx:string", {{"name", "k"}, {"value", "x"}}}, {"/"}}),
            E::PropertyNameTaken,
            {}},
        FaultCase{"reserved name",
                  entryWith({{"idx:string", {{"name", "ID"}, {"value", "x"}}}, {"/"}}),
                  E::PropertyNameTaken,
                  {}},
        FaultCase{"31 bits",
                  entryWith({{"idx:uint", {{"name", "n"}, {"value", "1073741824"}}}, {"/"}}),
                  E::ValueTooLarge,
                  {}},
        FaultCase{"extends missing", {{"idx:ext-subentry", {{"name", "x"}}}, {"/"}}, E::ExtendsMissing, {}},
        FaultCase{"duplicate id",
                  {{"idx:entry", {{"id", "a"}}},
                   {"idx:orth", {}, "w"},
                   {"/"},
                   {"/"},
                   {"idx:entry", {{"id", "a"}}},
                   {"idx:orth", {}, "v"},
                   {"/"},
                   {"/"}},
                  E::DuplicateEntryId,
                  {},
                  5},
        FaultCase{"spell differs",
                  {{"idx:entry", {{"spell", "yes"}}}, {"/"}, {"idx:entry"}, {"/"}},
                  E::SpellWildInconsistent,
                  {}},
        FaultCase{
            "nested and short", entryWith({{"idx:short"}, {"/"}, {"idx:entry"}, {"/"}}), E::NestedAndShortEntries, {}},
        FaultCase{"headword outside an entry", {{"idx:orth", {}, "w"}, {"/"}}, E::IndexUnknown, {}}));

TEST(IndexMarkup, SixteenForeignKeyIndexesAndThirtyTwoProperties) {
    std::vector<Markup> inside;
    for (int i = 0; i < 17; ++i) {
        inside.push_back({"idx:key", {{"name", "k" + std::to_string(i)}, {"scriptable", "yes"}}, "x"});
        inside.push_back({"/"});
    }
    for (int i = 0; i < 33; ++i) {
        inside.push_back({"idx:string", {{"name", "p" + std::to_string(i)}, {"value", "v"}}});
        inside.push_back({"/"});
    }
    Capture capture;
    capture.run(entryWith(inside));
    EXPECT_EQ(capture.log.count(qp::ErrorCode::ForeignKeyLimit), 1);
    EXPECT_EQ(capture.log.count(qp::ErrorCode::PropertyLimit), 1);
    const qp::DictionaryMarkup gathered = capture.markup.handOver();
    EXPECT_EQ(gathered.entries[0].details().keys.size(), 16u);
    EXPECT_EQ(gathered.entries[0].details().properties.size(), 32u);
}

}  // namespace
