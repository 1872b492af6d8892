// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/message_sink.h"

#include <gtest/gtest.h>

#include <concepts>
#include <optional>
#include <string>
#include <type_traits>
#include <vector>

#include "core/fault.h"
#include "core/string.h"

namespace {

using qp::kNoNumber;

// Keeps every line it is handed.
class CaptureSink : public qp::MessageSink {
public:
    void output(const std::vector<std::u16string>& pieces) override {
        std::u16string line;
        for (const auto& piece : pieces) line += piece;
        lines.push_back(line);
    }

    // The last line, narrowed to ASCII (the texts used here are ASCII).
    std::string last() const {
        std::string ascii;
        if (!lines.empty())
            for (char16_t c : lines.back()) ascii.push_back(static_cast<char>(c));
        return ascii;
    }

    std::vector<std::u16string> lines;
};

class MessageLayout : public ::testing::Test {
protected:
    CaptureSink sink;
};

TEST_F(MessageLayout, FileErrorsPutTheFileOnASecondLine) {
    sink.raise(qp::ErrorCode::CannotOpenFile, "x.html");
    EXPECT_EQ(sink.last(), "Error(mkbook): could not open file:\n      in file: x.html\n");
    sink.raise(qp::ErrorCode::CannotOpenFile);
    EXPECT_EQ(sink.last(), "Error(mkbook): could not open file:\n");
}

TEST_F(MessageLayout, SourcePositionErrorsShowElementLineAndFile) {
    sink.raise(qp::ErrorCode::BadTagName, 12, "c.html", "p");
    EXPECT_EQ(sink.last(),
              "Error(parsing): Invalid or missing XML tag name.\n     <p>     line: 0000012 in file: c.html\n");
    sink.raise(qp::ErrorCode::BadTagName, 7);
    EXPECT_EQ(sink.last(), "Error(parsing): Invalid or missing XML tag name.\n     line: 0000007\n");
    sink.raise(qp::ErrorCode::BadTagName);
    EXPECT_EQ(sink.last(), "Error(parsing): Invalid or missing XML tag name.\n");
}

TEST_F(MessageLayout, ArgumentFollowsTheText) {
    sink.raise(qp::ErrorCode::SpineIdUnknown, "item3");
    EXPECT_EQ(sink.last(), "Error(opfparser): the id in the spine does not match any item in the manifest: item3\n");
}

TEST_F(MessageLayout, AbsentTextsLeaveOutTheirPiecesButEmptyOnesShow) {
    sink.raise(qp::ErrorCode::CannotOpenFile, std::nullopt);
    EXPECT_EQ(sink.last(), "Error(mkbook): could not open file:\n");
    sink.raise(qp::ErrorCode::CannotOpenFile, "");
    EXPECT_EQ(sink.last(), "Error(mkbook): could not open file:\n      in file: \n");
}

TEST_F(MessageLayout, ParsingWarningsShowElementLineAndFile) {
    sink.raise(qp::WarningCode::EmptyKey, 7, "f.html", "key");
    EXPECT_EQ(sink.last(),
              "Warning(mkbook): encountered an empty \"idx:key\" tag.\nkey       line: 0000007 in file: f.html\n");
    sink.raise(qp::WarningCode::UnclosedNodesAbove, kNoNumber, std::nullopt, "div");
    EXPECT_EQ(sink.last(), "Warning(parsing): Unclosed XML node(s) above.\ndiv\n");
}

TEST_F(MessageLayout, WarningsWithTrailingArguments) {
    sink.raise(qp::WarningCode::InexactConversion, "f.txt");
    EXPECT_EQ(sink.last(), "Warning(core): String conversion was inexact.        in file: f.txt\n");
    sink.raise(qp::WarningCode::LinkNotResolved, "#x");
    EXPECT_EQ(sink.last(), "Warning(mkbook): Hyperlink not resolved:  #x\n");
    sink.raise(qp::WarningCode::ExternalAnchorRedefined, "f.html", "anchor");
    EXPECT_EQ(sink.last(),
              "Warning(mkbook): External anchor redefinition. The second external anchor will be ignored. "
              "External anchor names must be unique across the OPF publication. Name of the anchor: anchor\n"
              " in file: f.html\n");
}

TEST_F(MessageLayout, InfoNumbersHaveFixedDigitCounts) {
    sink.raise(qp::InfoCode::ParsingFiles, 7);
    EXPECT_EQ(sink.last(), "Info(mkbook): Parsing files  0000007\n");
    sink.raise(qp::InfoCode::RecordCount, 1234);
    EXPECT_EQ(sink.last(), "Info(mkbook): Building KOVA file, record count:   0001234\n");
    sink.raise(qp::InfoCode::CompressedToPercent, 45, 7);
    EXPECT_EQ(sink.last(), "Info(mkbook): Final stats - text compressed to (in % of original size):  045.07%\n");
    sink.raise(qp::InfoCode::FormatVersion, 6);
    EXPECT_EQ(sink.last(), "Info(mkbook): The file format version is V6\n");
    sink.raise(qp::InfoCode::StatsText, 123456, 12);
    EXPECT_EQ(sink.last(), "Info(mkbook): Final stats - TEXT:      000123456 bytes 000000012 records \n");
    sink.raise(qp::InfoCode::DictionaryStatistics, 5, 3);
    EXPECT_EQ(sink.last(),
              "Info(mkbook/compress): Compression dictionary statistics:  000000005 bytes 000000003 entries \n");
}

TEST_F(MessageLayout, InfoTextArguments) {
    sink.raise(qp::InfoCode::ParsingFile, "ch1.html");
    EXPECT_EQ(sink.last(), "Info(mkbook): Parsing file     URL: ch1.html\n");
    sink.raise(qp::InfoCode::DocumentIdentifier, "doc");
    EXPECT_EQ(sink.last(), "Info(mkbook): The document identifier is: \"doc\"\n");
    sink.raise(qp::InfoCode::BuildingIndex, 3, "dict");
    EXPECT_EQ(sink.last(), "Info(mkbook): Building index into record  0000003 Index name: dict\n");
    sink.raise(qp::InfoCode::BuildingKeyIndex);
    EXPECT_EQ(sink.last(), "Info(mkbook): Building foreign key index into record  \n");
    sink.raise(qp::InfoCode::UnicodeRangeFound, "Latin");
    EXPECT_EQ(sink.last(), "Info(mkbook): Found UNICODE range: Latin\n");
}

TEST_F(MessageLayout, CodesWithoutARowAreDropped) {
    sink.emit(static_cast<qp::ErrorCode>(285), qp::MessageArguments());
    sink.emit(static_cast<qp::WarningCode>(17), qp::MessageArguments());
    sink.emit(qp::InfoCode::None, qp::MessageArguments());
    EXPECT_TRUE(sink.lines.empty());
}

TEST(MessageArguments, LongTextsKeepTheirFirst299Characters) {
    CaptureSink sink;
    std::string long400;
    for (int i = 0; i < 400; ++i) long400.push_back(static_cast<char>('a' + i % 26));
    EXPECT_EQ(qp::MessageText(long400).text().size(), 299u);
    sink.raise(qp::InfoCode::UnicodeRangeFound, long400);
    EXPECT_EQ(sink.last(), "Info(mkbook): Found UNICODE range: " + long400.substr(0, 299) + "\n");
}

TEST(MessageArguments, TheCutNeverSplitsACharacter) {
    const std::string text = std::string(298, 'a') + "\xF0\x9F\x93\x96" + "tail";
    EXPECT_EQ(qp::MessageText(text).text(), std::u16string(298, u'a'));
}

TEST(MessageArguments, Utf8TextsAreHeldAsUtf16) {
    EXPECT_EQ(qp::MessageText("caf\xC3\xA9 \xF0\x9F\x93\x96").text(), u"caf\u00E9 \U0001F4D6");
}

TEST(MessageArguments, StringsAreConvertedFromTheirCodePage) {
    EXPECT_EQ(qp::MessageText(qp::String(std::string_view("caf\xE9"), 1252)).text(), u"caf\u00E9");
    EXPECT_EQ(qp::MessageText(qp::String(std::u16string_view(u"\u0416x"))).text(), u"\u0416x");
}

// Which arguments a code takes is settled when the program is compiled: a number is no text and a text no
// number (tests/core/compile_fail shows that such a call does not build).
static_assert(std::same_as<qp::MessageArgumentKind<int>, qp::MessageNumber>);
static_assert(std::same_as<qp::MessageArgumentKind<const char (&)[4]>, qp::MessageText>);
static_assert(std::same_as<qp::MessageArgumentKind<qp::String&>, qp::MessageText>);
static_assert(std::same_as<qp::MessageArgumentKind<double*>, void>);
static_assert(!std::is_convertible_v<int, qp::MessageText>);
static_assert(!std::is_convertible_v<std::string, qp::MessageNumber>);

TEST(PrintedWarnings, CountsWarningsThatReachTheOutputOnly) {
    CaptureSink sink;
    sink.raise(qp::WarningCode::UnsupportedEncoding);
    sink.raise(qp::InfoCode::Succeeded);
    sink.raise(qp::ErrorCode::FileNotAccessible);
    EXPECT_EQ(sink.printedWarnings(), 1u);

    qp::ConsoleSink console;
    console.raise(qp::WarningCode::EndTagUnterminated);
    EXPECT_EQ(console.printedWarnings(), 0u) << "a warning the console hides is not counted";
}

TEST(ReportThroughObject, RecordsAndSendsBySeverity) {
    CaptureSink sink;
    qp::FaultHeader object{&sink};
    qp::report(object, qp::ErrorCode::NotEnoughMemory);
    EXPECT_EQ(object.lastError, qp::ErrorCode::NotEnoughMemory);
    EXPECT_EQ(sink.last(), "Error(mkbook): Not enough memory.\n");
    qp::report(object, qp::WarningCode::SomeLinksNotResolved);
    EXPECT_EQ(object.lastWarning, qp::WarningCode::SomeLinksNotResolved);
    qp::report(object, qp::InfoCode::ResolvingLinks);
    EXPECT_EQ(object.lastInfo, qp::InfoCode::ResolvingLinks);
    EXPECT_EQ(sink.last(), "Info(mkbook): Resolving hyperlinks\n");
    EXPECT_EQ(sink.lines.size(), 3u);
}

TEST(ReportThroughObject, QuietObjectKeepsWarningsAndInfosButNoErrors) {
    CaptureSink sink;
    qp::FaultHeader object{&sink};
    object.quiet = true;
    qp::report(object, qp::ErrorCode::FileNotAccessible);
    qp::report(object, qp::WarningCode::InexactConversion);
    qp::report(object, qp::InfoCode::Saving);
    EXPECT_EQ(object.lastError, qp::ErrorCode::None);
    EXPECT_EQ(object.lastWarning, qp::WarningCode::InexactConversion);
    EXPECT_EQ(object.lastInfo, qp::InfoCode::Saving);
    EXPECT_TRUE(sink.lines.empty());
}

// Two builds each have their sink: what one object reports reaches its own sink and counts there only; an
// object without a sink keeps its faults to itself.
TEST(ReportThroughObject, EachObjectReportsToItsOwnSink) {
    CaptureSink first;
    CaptureSink second;
    qp::FaultHeader inFirst{&first};
    qp::FaultHeader unrouted;
    qp::report(inFirst, qp::WarningCode::UnsupportedEncoding);
    qp::report(unrouted, qp::WarningCode::UnsupportedEncoding);
    EXPECT_EQ(first.lines.size(), 1u);
    EXPECT_EQ(first.printedWarnings(), 1u);
    EXPECT_TRUE(second.lines.empty());
    EXPECT_EQ(second.printedWarnings(), 0u);
    EXPECT_EQ(unrouted.lastWarning, qp::WarningCode::UnsupportedEncoding);
}

}  // namespace
