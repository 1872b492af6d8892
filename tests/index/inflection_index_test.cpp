// SPDX-License-Identifier: GPL-3.0-or-later
#include "index/inflection_index.h"

#include <gtest/gtest.h>

#include "captured_sink.h"

namespace {

// The values of tag 42 in a lookup entry's value list: -1, the tag word, the group's rank, for each group.
std::vector<int32_t> groupsOf(const qp::Index& lookup, qp::IndexEntryId entry) {
    std::vector<int32_t> groups;
    const std::vector<int32_t>& values = lookup.values(entry);
    for (size_t i = 0; i + 2 < values.size(); i += 3)
        if ((values[i + 1] & 0xFF) == 42) groups.push_back(values[i + 2]);
    return groups;
}

TEST(InflectionIndex, EntriesWithTheSameFormsShareOneGroup) {
    CapturedSink log;
    qp::FaultHeader faults{&log};
    qp::Index lookup("words", qp::IndexType::Lookup, 1252, 9, false);
    qp::InflectionIndex inflections(1252, 9, faults);
    const auto cat = lookup.addKey("cat");
    const auto bat = lookup.addKey("bat");
    inflections.addGroup(lookup, *cat, {"noun", {{"cats", ""}}});
    inflections.addGroup(lookup, *bat, {"noun", {{"bats", ""}}});
    ASSERT_TRUE(inflections.compile());
    EXPECT_TRUE(inflections.verify());
    // One rule ("take off t, add ts") and one group.
    EXPECT_EQ(inflections.index().entryCount(), 2u);
    EXPECT_TRUE(log.printed("Info(mkbook/inflections): Number of new <idx:infl> inflection rules:  0000001"));
    EXPECT_TRUE(log.printed("Info(mkbook/inflections): Number of inflection rule groups:           0000001"));
    ASSERT_TRUE(lookup.resolveLinks());
    EXPECT_EQ(groupsOf(lookup, *cat).size(), 1u);
    EXPECT_EQ(groupsOf(lookup, *bat), groupsOf(lookup, *cat));
}

// A verb with 400 forms: four groups of 100, each named by the entry; none is lost.
TEST(InflectionIndex, FormsBeyondOneGroupGoOnInFurtherGroups) {
    CapturedSink log;
    qp::FaultHeader faults{&log};
    qp::Index lookup("words", qp::IndexType::Lookup, qp::kUnicodeIndexCodePage, 9, false);
    qp::InflectionIndex inflections(65001, 9, faults);
    const auto verb = lookup.addKey("Sprechen");
    qp::InflectionGroup group{"verb", {}};
    for (int i = 0; i < 400; ++i) group.forms.push_back({"sprechen" + std::to_string(i), "form " + std::to_string(i)});
    inflections.addGroup(lookup, *verb, group);
    ASSERT_TRUE(inflections.compile());
    EXPECT_TRUE(inflections.verify());
    EXPECT_EQ(log.count(qp::WarningCode::RuleTooLong), 0);
    EXPECT_TRUE(log.printed("Info(mkbook/inflections): Number of new <idx:infl> inflection rules:  0000400"));
    EXPECT_TRUE(log.printed("Info(mkbook/inflections): Number of inflection rule groups:           0000004"));
    ASSERT_TRUE(lookup.resolveLinks());
    EXPECT_EQ(groupsOf(lookup, *verb), (std::vector<int32_t>{0, 1, 2, 3}));  // group entries sort first
}

TEST(InflectionIndex, AGroupDroppedForAnOverLongRuleLeavesNoRuleBehind) {
    CapturedSink log;
    qp::FaultHeader faults{&log};
    qp::Index lookup("words", qp::IndexType::Lookup, 1252, 9, false);
    qp::InflectionIndex inflections(1252, 9, faults);
    inflections.addGroup(lookup, *lookup.addKey("cat"), {"noun", {{"cats", ""}, {std::string(300, 'x'), ""}}});
    EXPECT_EQ(log.count(qp::WarningCode::RuleTooLong), 1);
    EXPECT_TRUE(inflections.empty());
}

TEST(InflectionIndex, OldStyleRulesSharingAFirstPartAreOneEntry) {
    qp::FaultHeader faults;
    qp::Index lookup("words", qp::IndexType::Lookup, 1252, 9, false);
    qp::InflectionIndex inflections(1252, 9, faults);
    inflections.addOldStyleRules(lookup, *lookup.addKey("Walking"), "walked;walks#2;wa");
    ASSERT_TRUE(inflections.compile());
    EXPECT_TRUE(inflections.verify());
    // "ing" is the first part of both rules ("wa" has a common beginning under 2 characters): one entry.
    EXPECT_EQ(inflections.index().entryCount(), 1u);
}

}  // namespace
