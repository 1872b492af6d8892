#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>

#include "core/message_sink.h"

namespace {

using ::testing::internal::CaptureStdout;
using ::testing::internal::GetCapturedStdout;

TEST(ConsoleSink, ParserWarningsStayOffTheConsoleButTheEncodingOneShows) {
    qp::ConsoleSink console;
    CaptureStdout();
    console.warning(8);
    console.warning(12, console.registerArgument(std::string_view("page.html")));
    EXPECT_EQ(GetCapturedStdout(), "Warning(parsing): Found an unsupported text encoding.        in file: page.html\n");
}

TEST(ConsoleSink, WarningFilterCoversSevenToSixteenButTwelve) {
    qp::ConsoleSink console;
    for (int code = 0; code <= 20; ++code)
        EXPECT_EQ(console.warningFiltered(code), code >= 7 && code <= 16 && code != 12) << code;
    EXPECT_TRUE(console.errorFiltered(29));
    EXPECT_FALSE(console.errorFiltered(28));
}

TEST(ConsoleSink, ProgressInfosNeedVerbose) {
    qp::ConsoleSink console;
    CaptureStdout();
    console.info(3);
    console.info(4);
    console.info(7);
    EXPECT_EQ(GetCapturedStdout(), "Info(mkbook): Parsing files\nInfo(mkbook): Resolving hyperlinks\n");
    console.setVerbose(true);
    CaptureStdout();
    console.info(4);
    EXPECT_EQ(GetCapturedStdout(), "Info(mkbook): Parsing file\n");
}

TEST(ConsoleSink, QuietInfoCodesWithoutVerbose) {
    qp::ConsoleSink console;
    const int quiet[] = {2, 4, 5, 6, 9, 10, 11, 12, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25,
                         33, 34, 35, 39, 43, 44, 45, 46, 47, 48, 49};
    int expectedQuiet = 0;
    for (int code = 0; code <= qp::MessageSink::kLastInfoCode; ++code) {
        bool listed = std::find(std::begin(quiet), std::end(quiet), code) != std::end(quiet);
        EXPECT_EQ(console.infoFiltered(code), listed) << code;
        expectedQuiet += listed;
    }
    EXPECT_EQ(expectedQuiet, 31);
    console.setVerbose(true);
    for (int code : quiet) EXPECT_FALSE(console.infoFiltered(code)) << code;
}

TEST(ConsoleSink, PrintsUtf8) {
    qp::ConsoleSink console;
    CaptureStdout();
    console.info(37, console.registerArgument(std::string_view("\xD0\x96 \xF0\x9F\x93\x96")));
    EXPECT_EQ(GetCapturedStdout(), "Info(mkbook): Found UNICODE range: \xD0\x96 \xF0\x9F\x93\x96\n");
}

TEST(ConsolePrint, FormatsToStandardOutput) {
    CaptureStdout();
    qp::consolePrint("Error: unsupported argument %s\n", "-x");
    EXPECT_EQ(GetCapturedStdout(), "Error: unsupported argument -x\n");
}

}  // namespace
