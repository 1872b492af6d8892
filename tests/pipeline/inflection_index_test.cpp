#include "pipeline/inflection_index.h"

#include <gtest/gtest.h>

#include "captured_sink.h"

namespace {

TEST(InflectionIndex, EntriesWithTheSameFormsShareOneGroup) {
    CapturedSink log;
    qp::FaultHeader faults;
    qp::Index lookup("words", qp::IndexType::Lookup, 1252, 9, false);
    qp::InflectionIndex inflections(1252, 9, faults);
    const auto cat = lookup.addKey("cat");
    const auto bat = lookup.addKey("bat");
    inflections.addGroup(lookup, *cat, "cat", {"noun", {{"cats", ""}}});
    inflections.addGroup(lookup, *bat, "bat", {"noun", {{"bats", ""}}});
    ASSERT_TRUE(inflections.compile());
    // One rule ("take off t, add ts") and one group.
    EXPECT_EQ(inflections.index().entryCount(), 2u);
    EXPECT_TRUE(log.printed("Info(mkbook/inflections): Number of new <idx:infl> inflection rules:  0000001"));
    EXPECT_TRUE(log.printed("Info(mkbook/inflections): Number of inflection rule groups:           0000001"));
    ASSERT_TRUE(lookup.resolveLinks());
    for (qp::IndexEntryId entry : {*cat, *bat}) {
        const std::vector<int32_t>& values = lookup.values(entry);
        ASSERT_EQ(values.size(), 3u);  // -1, the tag word of 42, the group's rank
        EXPECT_EQ(values[1] & 0xFF, 42);
    }
}

TEST(InflectionIndex, OldStyleRulesSharingAFirstPartAreOneEntry) {
    qp::FaultHeader faults;
    qp::Index lookup("words", qp::IndexType::Lookup, 1252, 9, false);
    qp::InflectionIndex inflections(1252, 9, faults);
    inflections.addOldStyleRules(lookup, *lookup.addKey("walking"), "walking", "walked;walks#2;wa");
    ASSERT_TRUE(inflections.compile());
    // "ing" is the first part of both rules ("wa" has a common beginning under 2 characters): one entry.
    EXPECT_EQ(inflections.index().entryCount(), 1u);
}

}  // namespace
