// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/variable_width.h"

#include <gtest/gtest.h>

using Bytes = std::vector<uint8_t>;

namespace {

Bytes forward(uint64_t value) {
    Bytes out;
    qp::appendForwardInteger(out, value);
    return out;
}

Bytes backward(uint64_t value) {
    Bytes out;
    qp::appendBackwardInteger(out, value);
    return out;
}

Bytes entryOfPayload(size_t payload) {
    Bytes out(payload, 0x11);
    qp::appendEntryLength(out, 0);
    return Bytes(out.begin() + static_cast<std::ptrdiff_t>(payload), out.end());
}

}  // namespace

TEST(VariableWidth, ForwardMarksTheLastByte) {
    EXPECT_EQ(forward(0), (Bytes{0x80}));
    EXPECT_EQ(forward(5), (Bytes{0x85}));
    EXPECT_EQ(forward(127), (Bytes{0xFF}));
    EXPECT_EQ(forward(128), (Bytes{0x01, 0x80}));
    EXPECT_EQ(forward(300), (Bytes{0x02, 0xAC}));  // 300 = 2 * 128 + 44
    EXPECT_EQ(forward(16384), (Bytes{0x01, 0x00, 0x80}));
}

TEST(VariableWidth, BackwardMarksTheFirstByte) {
    EXPECT_EQ(backward(1), (Bytes{0x81}));
    EXPECT_EQ(backward(127), (Bytes{0xFF}));
    EXPECT_EQ(backward(128), (Bytes{0x81, 0x00}));
    EXPECT_EQ(backward(300), (Bytes{0x82, 0x2C}));
}

TEST(VariableWidth, EntryLengthCountsItsOwnBytes) {
    EXPECT_EQ(entryOfPayload(0), (Bytes{0x81}));
    EXPECT_EQ(entryOfPayload(3), (Bytes{0x84}));
    EXPECT_EQ(entryOfPayload(126), (Bytes{0xFF}));                // 126 + 1 = 127 still fits one byte
    EXPECT_EQ(entryOfPayload(127), (Bytes{0x81, 0x01}));          // 127 + 2 = 129
    EXPECT_EQ(entryOfPayload(16381), (Bytes{0xFF, 0x7F}));        // 16,383
    EXPECT_EQ(entryOfPayload(16382), (Bytes{0x81, 0x00, 0x01}));  // 16,385 needs three bytes
}

TEST(VariableWidth, ReadersTakeWhatTheWritersWrite) {
    const Bytes bytes = {0x7F, 0x02, 0xAC, 0x85};  // forward 300 at 1, forward 5 at 3; backward 5 ends them
    const auto three = qp::readForwardInteger(bytes, 1);
    ASSERT_TRUE(three);
    EXPECT_EQ(three->value, 300u);
    EXPECT_EQ(three->length, 2u);
    EXPECT_EQ(qp::readForwardInteger(bytes, 3)->value, 5u);
    EXPECT_EQ(qp::readBackwardInteger(bytes)->value, 5u);
    EXPECT_EQ(qp::readBackwardInteger(Bytes{0x11, 0x81, 0x01})->value, 129u);  // 1 << 7 | 1
    EXPECT_FALSE(qp::readForwardInteger(Bytes{0x01, 0x02}, 0));                // no last byte
    EXPECT_FALSE(qp::readBackwardInteger(Bytes{0x01, 0x02}));                  // no first byte
    Bytes tooLong(10, 0x01);
    tooLong.push_back(0x81);
    EXPECT_FALSE(qp::readForwardInteger(tooLong, 0));  // eleven groups pass 64 bits
}
