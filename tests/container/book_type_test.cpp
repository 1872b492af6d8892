// SPDX-License-Identifier: GPL-3.0-or-later
#include "container/book_type.h"

#include <gtest/gtest.h>

namespace {

struct BookTypeCase {
    const char* contentType;
    uint32_t code;
    bool known;
};

class BookTypes : public ::testing::TestWithParam<BookTypeCase> {};

TEST_P(BookTypes, CodeOfContentType) {
    bool known = false;
    EXPECT_EQ(qp::bookTypeOfContentType(GetParam().contentType, known), GetParam().code);
    EXPECT_EQ(known, GetParam().known);
}

INSTANTIATE_TEST_SUITE_P(Table, BookTypes,
                         ::testing::Values(BookTypeCase{"text/x-oeb1-document", 2, true}, BookTypeCase{"", 2, true},
                                           BookTypeCase{"application/x-vessio-subscription-magazine", 259, true},
                                           BookTypeCase{"application/x-vessio-subscription-feed", 258, true},
                                           BookTypeCase{"Image/PNG", 513, true}, BookTypeCase{"text/plain", 517, true},
                                           BookTypeCase{"text/html", 518, true},
                                           BookTypeCase{"application/vnd.vessio-franklin-ua-game", 101, true},
                                           BookTypeCase{"audio/mpeg", 4, true},
                                           BookTypeCase{"application/pdf", 2, false}));

}  // namespace
