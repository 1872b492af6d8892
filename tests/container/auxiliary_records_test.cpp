// SPDX-License-Identifier: GPL-3.0-or-later
// DATP and FDST records against bytes worked out by hand.
#include <gtest/gtest.h>

#include "container/datp_records.h"
#include "container/fdst_records.h"

namespace {

using Bytes = std::vector<uint8_t>;

TEST(DatpRecords, FortyTextRecordsMakeOneRecordOf108Bytes) {
    std::vector<uint32_t> lengths(40, 4000);
    lengths.back() = 123;
    const std::vector<Bytes> records = qp::datpRecords(lengths);
    ASSERT_EQ(records.size(), 1u);
    const Bytes& r = records[0];
    // 12 header bytes, one record start (0), three sparse starts (records 0, 16, 32), 40 lengths: 108 bytes.
    ASSERT_EQ(r.size(), 108u);
    EXPECT_EQ(Bytes(r.begin(), r.begin() + 12), (Bytes{'D', 'A', 'T', 'P', 0, 0, 0, 12, 1, 4, 0, 40}));
    EXPECT_EQ(Bytes(r.begin() + 12, r.begin() + 28),
              (Bytes{0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xFA, 0x00, 0, 1, 0xF4, 0x00}));  // 0, 0, 64000, 128000
    EXPECT_EQ(Bytes(r.begin() + 28, r.begin() + 30), (Bytes{0x0F, 0xA0}));           // 4000
    EXPECT_EQ(Bytes(r.begin() + 106, r.end()), (Bytes{0x00, 0x7B}));                 // 123
}

TEST(DatpRecords, TheFirstRecordListsWhereEachStarts) {
    const std::vector<uint32_t> lengths(27313, 10);
    const std::vector<Bytes> records = qp::datpRecords(lengths);
    ASSERT_EQ(records.size(), 2u);
    // Record starts at 12: 0 and 27312 x 10 = 273120 (0x00042AE0).
    EXPECT_EQ(Bytes(records[0].begin() + 8, records[0].begin() + 20),
              (Bytes{2, 4, 0x6A, 0xB0, 0, 0, 0, 0, 0, 4, 0x2A, 0xE0}));
    EXPECT_EQ(Bytes(records[1].begin() + 8, records[1].begin() + 16), (Bytes{2, 4, 0, 1, 0, 4, 0x2A, 0xE0}));
}

TEST(FdstRecords, SectionsAsPairsAndNoneForOneSection) {
    EXPECT_TRUE(qp::fdstRecords({{0, 100}}).empty());
    const std::vector<Bytes> records = qp::fdstRecords({{0, 100}, {100, 250}});
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0], (Bytes{'F', 'D', 'S', 'T', 0, 0,   0, 12, 0, 0,   0, 2, 0, 0,
                                 0,   0,   0,   0,   0, 100, 0, 0,  0, 100, 0, 0, 0, 250}));
}

}  // namespace
