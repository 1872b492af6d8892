// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "core/message_sink.h"

namespace {

using ::testing::internal::CaptureStdout;
using ::testing::internal::GetCapturedStdout;

TEST(ConsoleSink, ParserWarningsStayOffTheConsoleButTheEncodingOneShows) {
    qp::ConsoleSink console;
    CaptureStdout();
    console.raise(qp::WarningCode::AttributeWithoutValue);
    console.raise(qp::WarningCode::UnsupportedEncoding, "page.html");
    EXPECT_EQ(GetCapturedStdout(), "Warning(parsing): Found an unsupported text encoding.        in file: page.html\n");
}

TEST(ConsoleSink, ProgressInfosNeedVerbose) {
    qp::ConsoleSink console;
    CaptureStdout();
    console.raise(qp::InfoCode::ParsingFiles);
    console.raise(qp::InfoCode::ParsingFile);
    console.raise(qp::InfoCode::ResolvingLinks);
    EXPECT_EQ(GetCapturedStdout(), "Info(mkbook): Parsing files\nInfo(mkbook): Resolving hyperlinks\n");
    console.setVerbose(true);
    CaptureStdout();
    console.raise(qp::InfoCode::ParsingFile);
    EXPECT_EQ(GetCapturedStdout(), "Info(mkbook): Parsing file\n");
}

TEST(ConsoleSink, PrintsUtf8) {
    qp::ConsoleSink console;
    CaptureStdout();
    console.raise(qp::InfoCode::UnicodeRangeFound, "\xD0\x96 \xF0\x9F\x93\x96");
    EXPECT_EQ(GetCapturedStdout(), "Info(mkbook): Found UNICODE range: \xD0\x96 \xF0\x9F\x93\x96\n");
}

TEST(ConsolePrint, FormatsToStandardOutput) {
    CaptureStdout();
    qp::consolePrint("Error: unsupported argument %s\n", "-x");
    EXPECT_EQ(GetCapturedStdout(), "Error: unsupported argument -x\n");
}

}  // namespace
