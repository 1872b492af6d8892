// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "test_book.h"
#include "test_support.h"

namespace {

using kovatest::be32;
using kovatest::bookFile;
using kovatest::Record0Fields;

qptest::RunResult kovadump(const std::vector<std::string>& args) { return qptest::run(QP_KOVADUMP_BIN, args); }

std::string soundBook() {
    Record0Fields f;
    f.textLength = 10;
    f.compression = 2;
    f.fullName = "Tide \"Tables\"";
    f.exth = {{100, "Mara Quell"}, {204, be32(200)}};
    // "abc", a back-reference of distance 3 and length 3 (0x8018), " A" (0xC1), "xy".
    return bookFile(f, {"abc" + kovatest::bytes({0x80, 0x18, 0xC1}) + "xy"});
}

TEST(KovadumpTool, ListsASoundBookAndExitsZero) {
    qptest::TempDir dir;
    qptest::writeFile(dir / "b.kova", soundBook());
    auto result = kovadump({(dir / "b.kova").string()});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.err, "");
    EXPECT_NE(result.out.find("type: BOOK"), std::string::npos);
    EXPECT_NE(result.out.find("compression: 2 (PalmDOC)"), std::string::npos);
    EXPECT_NE(result.out.find("orthographicIndex: none"), std::string::npos);
    EXPECT_NE(result.out.find("100 dc:Creator: \"Mara Quell\""), std::string::npos);
    EXPECT_NE(result.out.find("204 Creator software: 200"), std::string::npos);
    EXPECT_NE(result.out.find("Full name: \"Tide \\\"Tables\\\"\""), std::string::npos);
    EXPECT_NE(result.out.find("Text (10 bytes)\nabcabc Axy"), std::string::npos);
}

TEST(KovadumpTool, TextOptionPrintsOnlyTheText) {
    qptest::TempDir dir;
    qptest::writeFile(dir / "b.kova", soundBook());
    auto result = kovadump({(dir / "b.kova").string(), "--text"});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.out, "abcabc Axy");
}

TEST(KovadumpTool, JsonOptionPrintsOneObject) {
    qptest::TempDir dir;
    qptest::writeFile(dir / "b.kova", soundBook());
    auto result = kovadump({(dir / "b.kova").string(), "--json"});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.out.front(), '{');
    EXPECT_EQ(result.out.substr(result.out.size() - 2), "}\n");
    EXPECT_NE(result.out.find(R"("type":"BOOK")"), std::string::npos);
    EXPECT_NE(result.out.find(R"({"type":100,"name":"dc:Creator","value":"Mara Quell"})"), std::string::npos);
    EXPECT_NE(result.out.find(R"({"type":204,"name":"Creator software","value":200})"), std::string::npos);
    EXPECT_NE(result.out.find(R"("fullName":"Tide \"Tables\"")"), std::string::npos);
    EXPECT_NE(result.out.find(R"("textLength":10)"), std::string::npos);
    EXPECT_NE(result.out.find(R"("text":"abcabc Axy")"), std::string::npos);
    EXPECT_NE(result.out.find(R"("faults":[])"), std::string::npos);
}

TEST(KovadumpTool, FaultsGoToStderrWithExitCodeOne) {
    qptest::TempDir dir;
    std::string book = soundBook();
    book[book.size() - 4] = 0;  // spoil the end-of-file record
    qptest::writeFile(dir / "b.kova", book);
    auto result = kovadump({(dir / "b.kova").string()});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err, "kovadump: missing end-of-file record (E9 8E 0D 0A) at the end of the record list\n");
    auto json = kovadump({(dir / "b.kova").string(), "--json"});
    EXPECT_EQ(json.exitCode, 1);
    EXPECT_NE(json.out.find(R"("faults":["missing end-of-file record (E9 8E 0D 0A) at the end of the record list"])"),
              std::string::npos);
}

TEST(KovadumpTool, UsageAndUnreadableFilesExitTwo) {
    EXPECT_EQ(kovadump({}).exitCode, 2);
    EXPECT_EQ(kovadump({"a.kova", "b.kova"}).exitCode, 2);
    EXPECT_EQ(kovadump({"a.kova", "--bogus"}).exitCode, 2);
    auto missing = kovadump({"/nonexistent/dir/book.kova"});
    EXPECT_EQ(missing.exitCode, 2);
    EXPECT_EQ(missing.err, "kovadump: cannot open /nonexistent/dir/book.kova\n");
}

}  // namespace
