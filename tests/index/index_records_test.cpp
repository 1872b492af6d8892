// SPDX-License-Identifier: GPL-3.0-or-later
// Index records against bytes worked out by hand.
#include "index/index_records.h"

#include <gtest/gtest.h>

#include "captured_sink.h"
#include "container/pdb_database.h"
#include "index/phonetic_tables.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes be32(uint32_t v) { return {uint8_t(v >> 24), uint8_t(v >> 16), uint8_t(v >> 8), uint8_t(v)}; }

void put(Bytes& record, size_t at, const Bytes& bytes) { std::copy(bytes.begin(), bytes.end(), record.begin() + at); }

Bytes record(const qp::PdbDatabase& store, size_t i) {
    auto bytes = store.record(i);
    return {bytes.begin(), bytes.end()};
}

TEST(IndexRecords, TwoEntryWesternIndexByHand) {
    CapturedSink log;
    qp::Index index("t", qp::IndexType::Lookup, 1252, 9, false);
    index.messages = &log;
    const auto b = index.addKey("b");
    const auto a = index.addKey("a");
    index.addValues(*b, 1, {5});
    index.addValues(*a, 1, {3});
    index.addValues(*a, 2, {7});
    qp::PdbDatabase store;
    ASSERT_EQ(qp::writeIndex(index, store), 0);
    ASSERT_EQ(store.recordCount(), 2u);

    // Data record: the 192-byte header, "a" (key 01 61, control 03: tags 1 and 2 once, values 83 87) at 192,
    // "b" (01 62, control 01, value 85) at 197, three zero bytes, the IDXT at 204, 212 bytes in all.
    Bytes data(192, 0);
    put(data, 0, {'I', 'N', 'D', 'X'});
    put(data, 4, be32(192));
    put(data, 12, be32(1));
    put(data, 20, be32(204));
    put(data, 24, be32(2));
    put(data, 28, be32(0xFFFFFFFF));
    put(data, 32, be32(0xFFFFFFFF));
    data.insert(data.end(), {0x01, 'a', 0x03, 0x83, 0x87, 0x01, 'b', 0x01, 0x85, 0, 0, 0});
    data.insert(data.end(), {'I', 'D', 'X', 'T', 0x00, 0xC0, 0x00, 0xC5});
    EXPECT_EQ(record(store, 1), data);

    // Header record: the name "t" at 192, the TAGX (tags 1 and 2 with one bit each, one control byte) at 193,
    // padding to 220, the master entry ("b", 2 entries) at 220, its IDXT at 224, ORDT at 232, LIGT at 492.
    const Bytes header = record(store, 0);
    ASSERT_EQ(header.size(), 516u);
    Bytes start(192, 0);
    put(start, 0, {'I', 'N', 'D', 'X'});
    put(start, 4, be32(193));
    put(start, 16, be32(2));
    put(start, 20, be32(224));
    put(start, 24, be32(1));
    put(start, 28, be32(1252));
    put(start, 32, be32(9));
    put(start, 36, be32(2));
    put(start, 40, be32(232));
    put(start, 44, be32(492));
    put(start, 48, be32(5));
    put(start, 180, be32(192));
    put(start, 184, be32(1));
    start.insert(start.end(),
                 {'t', 'T', 'A', 'G', 'X', 0, 0, 0, 24,   0,   0,    0,    1,   1,   1,   1,   0,    2,    1, 2,
                  0,   0,   0,   0,   1,   0, 0, 0, 0x01, 'b', 0x00, 0x02, 'I', 'D', 'X', 'T', 0x00, 0xDC, 0, 0});
    EXPECT_EQ(Bytes(header.begin(), header.begin() + 232), start);
    EXPECT_EQ(Bytes(header.begin() + 232, header.begin() + 236), (Bytes{'O', 'R', 'D', 'T'}));
    EXPECT_EQ(header[236 + 'A'], 'a');
    EXPECT_EQ(Bytes(header.begin() + 492, header.end()),
              (Bytes{'L',  'I', 'G', 'T', 0x8C, 0, 1, 'E', 0x9C, 0, 2, 'e',
                     0xC6, 0,   3,   'E', 0xE6, 0, 4, 'e', 0xDF, 0, 5, 's'}));
    EXPECT_TRUE(log.printed("Info(mkbook): Index uses western (windows-1252) encoding"));
}

TEST(IndexRecords, TwoBitMasksCountGroupsThenGiveTheByteLength) {
    qp::Index index("", qp::IndexType::Lookup, 1252, 9, false);
    const auto two = index.addKey("two");
    const auto three = index.addKey("three");
    for (uint32_t v : {1u, 2u}) index.addValues(*two, 1, {v});
    for (uint32_t v : {1u, 2u, 300u}) index.addValues(*three, 1, {v});
    const qp::Tagx tagx = qp::buildTagx(index);
    ASSERT_EQ(tagx.rows.size(), 2u);
    EXPECT_EQ(tagx.rows[0].mask, 0x03);
    // Two groups: 2 in the mask, no length. Three: all bits, then the 4 bytes of 81 82 02 AC.
    EXPECT_EQ(qp::encodeEntry(index, *two, tagx), (Bytes{3, 't', 'w', 'o', 0x02, 0x81, 0x82}));
    EXPECT_EQ(qp::encodeEntry(index, *three, tagx),
              (Bytes{5, 't', 'h', 'r', 'e', 'e', 0x03, 0x84, 0x81, 0x82, 0x02, 0xAC}));
}

TEST(IndexRecords, AnEmptyIndexMakesNoRecord) {
    qp::Index index("e", qp::IndexType::Lookup, 1252, 9, false);
    qp::PdbDatabase store;
    EXPECT_EQ(qp::writeIndex(index, store), -1);
    EXPECT_EQ(store.recordCount(), 0u);
}

// 318 entries of 200 bytes and one of 70 fill a data record to exactly 64,504 bytes with its position and
// offset table: 192 + 318 x 200 + 70 + 4 + 2 x 319.
TEST(IndexRecords, AnEntryThatReachesTheLimitExactlyStaysInItsRecord) {
    for (const size_t lastKey : {67u, 68u}) {
        qp::Index index("", qp::IndexType::Lookup, 1252, 9, false);
        for (int i = 0; i < 318; ++i) {
            char prefix[8];
            std::snprintf(prefix, sizeof prefix, "k%05d", i);
            index.addValues(*index.addKey(std::string(prefix) + std::string(191, 'x')), 1, {1});
        }
        index.addValues(*index.addKey(std::string(lastKey, 'z')), 1, {1});
        qp::PdbDatabase store;
        ASSERT_EQ(qp::writeIndex(index, store), 0);
        EXPECT_EQ(store.recordCount(), lastKey == 67 ? 2u : 3u) << lastKey;
    }
}

TEST(IndexRecords, StringsAndTheDependentIndexFollowTheDataRecords) {
    qp::Index index("s", qp::IndexType::Lookup, 1252, 9, false);
    const auto entry = index.addKey("k");
    const auto label = index.addString("Chapter");
    ASSERT_EQ(label, 0u);
    EXPECT_EQ(index.addString("Two"), 8u);  // 0x87 and 7 bytes before it
    index.addValues(*entry, 3, {*label});
    auto dependent = std::make_unique<qp::Index>("", qp::IndexType::Lookup, 1252, 9, false);
    dependent->addValues(*dependent->addKey("k"), 37, {0});
    index.setDependent(std::move(dependent));
    qp::PdbDatabase store;
    ASSERT_EQ(qp::writeIndex(index, store), 0);
    ASSERT_EQ(store.recordCount(), 5u);  // header, data, strings, then the dependent's header and data
    const Bytes header = record(store, 0);
    EXPECT_EQ(Bytes(header.begin() + 52, header.begin() + 60), (Bytes{0, 0, 0, 1, 0, 0, 0, 2}));
    EXPECT_EQ(record(store, 2), (Bytes{0x87, 'C', 'h', 'a', 'p', 't', 'e', 'r', 0x83, 'T', 'w', 'o'}));
}

TEST(IndexRecords, AFailedIndexLeavesTheStoreAsItWas) {
    qp::Index other("o", qp::IndexType::Lookup, 1252, 9, false);
    qp::Index index("f", qp::IndexType::Lookup, 1252, 9, false);
    index.addLink(*index.addKey("a"), 21, other, 5);  // other has no entry 5
    qp::PdbDatabase store;
    ASSERT_TRUE(store.appendRecord(Bytes{1, 2, 3, 4}));
    EXPECT_EQ(qp::writeIndex(index, store), -1);
    EXPECT_EQ(store.recordCount(), 1u);
    EXPECT_EQ(index.lastError, qp::ErrorCode::WrongIndexLink);
}

// A name that leaves just room for the master entry and the western tables: the spell tables do not fit as well,
// and the build fails naming the index rather than writing a header record past 64 KB.
TEST(IndexRecords, SpellTablesThatDoNotFitTheHeaderRecordFailTheIndex) {
    qp::PhoneticTables english;
    ASSERT_TRUE(english.setUp(9));
    for (bool spell : {false, true}) {
        qp::Index index(std::string(63900, 'n'), qp::IndexType::Lookup, 1252, 9, false);
        index.addValues(*index.addKey("a"), 1, {0});
        if (spell) index.setSpellTables(&english);
        qp::PdbDatabase store;
        EXPECT_EQ(qp::writeIndex(index, store), spell ? -1 : 0) << spell;
        EXPECT_EQ(index.lastError, spell ? qp::ErrorCode::IndexHeaderOverflow : qp::ErrorCode::None) << spell;
        if (!spell) {
            EXPECT_LE(store.record(0).size(), 65535u);
        }
    }
}

}  // namespace
