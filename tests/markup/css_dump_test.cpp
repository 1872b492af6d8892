// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <filesystem>

#include "captured_sink.h"
#include "markup/css_parser.h"
#include "markup/style_sheet_check.h"
#include "test_support.h"

namespace {

const std::string kDataDir = std::string(QP_TEST_DATA_DIR) + "/css/";

TEST(CssDump, CheckWritesTheParsedSheetBesideTheSource) {
    CapturedSink messages;
    qptest::TempDir dir;
    qptest::writeFile(dir / "book.css", qptest::readFile(kDataDir + "dump_input.css"));
    ASSERT_TRUE(qp::checkStyleSheet(qp::String::fromUtf8((dir / "book.css").string()), &messages));
    EXPECT_EQ(qptest::readFile(dir / "dump.css"), qptest::readFile(kDataDir + "dump_expected.css"));
    EXPECT_EQ(messages.warningCodes(), std::vector<qp::WarningCode>{qp::WarningCode::CssAtRuleIgnored});
}

TEST(CssDump, ACheckOfAMissingFileFailsAndWritesNothing) {
    qptest::TempDir dir;
    EXPECT_FALSE(qp::checkStyleSheet(qp::String::fromUtf8((dir / "none.css").string()), nullptr));
    EXPECT_FALSE(std::filesystem::exists(dir / "dump.css"));
}

TEST(CssDump, DroppingFontInformationLeavesOutFamiliesAndBlack) {
    qp::FaultHeader faults;
    const qp::StyleSheet sheet =
        qp::parseStyleSheet("p { font-family: Georgia; color: #000000; Color: #000001; font-size: small }", faults);
    EXPECT_EQ(qp::styleSheetDump(sheet, true), "p\r\n{\r\n\tColor:#000001;\r\n\tfont-size:small;\r\n}\r\n");
    EXPECT_EQ(
        qp::styleSheetDump(sheet, false),
        "p\r\n{\r\n\tfont-family:Georgia;\r\n\tcolor:#000000;\r\n\tColor:#000001;\r\n\tfont-size:small;\r\n}\r\n");
}

}  // namespace
