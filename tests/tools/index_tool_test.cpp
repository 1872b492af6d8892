// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "index_books.h"
#include "test_support.h"

namespace {

qptest::RunResult kovadump(const std::vector<std::string>& args) { return qptest::run(QP_KOVADUMP_BIN, args); }

class KovadumpIndexes : public testing::Test {
protected:
    void SetUp() override { qptest::writeFile(path_, kovatest::bookBytes(kovatest::westernLookupBook())); }
    std::string book() const { return path_.string(); }

private:
    qptest::TempDir dir_;
    std::filesystem::path path_ = dir_ / "words.kova";
};

TEST_F(KovadumpIndexes, ListingAndJsonShowTheIndex) {
    auto listing = kovadump({book()});
    EXPECT_EQ(listing.exitCode, 0) << listing.err;
    EXPECT_NE(listing.out.find("Indexes (1)\n"
                               "  record 2 \"words\": type 0, code page 1252, language 9, 4 entries, named by "
                               "orthographicIndex\n"
                               "    records: header 2, data 3-4, strings none, dependent none\n"
                               "    TAGX: 1 control byte; tag 1 x1 mask 0x01; tag 2 x1 mask 0x02; end\n"
                               "    tables: ORDT 256 at 248, LIGT 5 entries at 508\n"),
              std::string::npos)
        << listing.out;
    auto json = kovadump({book(), "--json"});
    EXPECT_EQ(json.exitCode, 0);
    EXPECT_NE(json.out.find(R"("masterEntries":[{"offset":224,"key":"cafe","entryCount":2},)"), std::string::npos);
    EXPECT_NE(json.out.find(R"({"rank":3,"record":4,"offset":199,"size":7,"key":"eel","keyBytes":[101,101,108],)"
                            R"("folded":"eel","controlBytes":[3],"tags":[{"tag":1,"groups":[[48]]},)"
                            R"({"tag":2,"groups":[[16]]}]})"),
              std::string::npos)
        << json.out;
}

TEST_F(KovadumpIndexes, IndexOptionPrintsTheEntriesAsATable) {
    auto result = kovadump({book(), "--index", "words"});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, "Index \"words\" (record 2): 4 entries\n"
                          "rank  key   tags\n"
                          "0     ant   1=0 2=16\n"
                          "1     cafe  1=16 2=16\n"
                          "2     dog   1=32 2=16\n"
                          "3     eel   1=48 2=16\n");
    EXPECT_EQ(kovadump({book(), "--index", "2"}).out, result.out);
    auto unknown = kovadump({book(), "--index", "names"});
    EXPECT_EQ(unknown.exitCode, 2);
    EXPECT_EQ(unknown.err, "kovadump: the book has no index names\n");
}

TEST_F(KovadumpIndexes, LookupPrintsTheEntryTextOrSaysNotFound) {
    auto found = kovadump({book(), "--lookup", "Caf\xC3\xA9"});
    EXPECT_EQ(found.exitCode, 0) << found.err;
    EXPECT_EQ(found.out, "\"Caf\xC3\xA9\": 1 entry in the orthographic index \"words\" (record 2)\n"
                         "  entry 1 \"cafe\" (headword)\n"
                         "    text 16+16: cafe shop\n");
    auto missing = kovadump({book(), "--lookup", "cow"});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_EQ(missing.out, "\"cow\" not found in the orthographic index \"words\" (record 2)\n");
    EXPECT_EQ(kovadump({book(), "--lookup"}).exitCode, 2);
}

}  // namespace
