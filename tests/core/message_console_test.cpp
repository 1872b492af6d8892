#include <gtest/gtest.h>

#include "core/message_sink.h"

namespace {

using ::testing::internal::CaptureStdout;
using ::testing::internal::GetCapturedStdout;

TEST(ConsoleSink, ParserWarningsStayOffTheConsoleButTheEncodingOneShows) {
    qp::ConsoleSink console;
    CaptureStdout();
    console.warning(qp::WarningCode::AttributeWithoutValue);
    console.warning(qp::WarningCode::UnsupportedEncoding, console.registerArgument(std::string_view("page.html")));
    EXPECT_EQ(GetCapturedStdout(), "Warning(parsing): Found an unsupported text encoding.        in file: page.html\n");
}

TEST(ConsoleSink, ProgressInfosNeedVerbose) {
    qp::ConsoleSink console;
    CaptureStdout();
    console.info(qp::InfoCode::ParsingFiles);
    console.info(qp::InfoCode::ParsingFile);
    console.info(qp::InfoCode::ResolvingLinks);
    EXPECT_EQ(GetCapturedStdout(), "Info(mkbook): Parsing files\nInfo(mkbook): Resolving hyperlinks\n");
    console.setVerbose(true);
    CaptureStdout();
    console.info(qp::InfoCode::ParsingFile);
    EXPECT_EQ(GetCapturedStdout(), "Info(mkbook): Parsing file\n");
}

TEST(ConsoleSink, PrintsUtf8) {
    qp::ConsoleSink console;
    CaptureStdout();
    console.info(qp::InfoCode::UnicodeRangeFound,
                 console.registerArgument(std::string_view("\xD0\x96 \xF0\x9F\x93\x96")));
    EXPECT_EQ(GetCapturedStdout(), "Info(mkbook): Found UNICODE range: \xD0\x96 \xF0\x9F\x93\x96\n");
}

TEST(ConsolePrint, FormatsToStandardOutput) {
    CaptureStdout();
    qp::consolePrint("Error: unsupported argument %s\n", "-x");
    EXPECT_EQ(GetCapturedStdout(), "Error: unsupported argument -x\n");
}

}  // namespace
