#include "core/message_sink.h"

#include <gtest/gtest.h>

#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "core/fault.h"
#include "core/string.h"

namespace {

using qp::kNoArg;

// Keeps every line it is handed and stands in as the process sink while it lives.
class CaptureSink : public qp::MessageSink {
public:
    CaptureSink() : previous_(qp::installSink(this)) {}
    ~CaptureSink() override { qp::installSink(previous_); }

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

private:
    qp::MessageSink* previous_;
};

class MessageLayout : public ::testing::Test {
protected:
    int text(const char* utf8) { return sink.registerArgument(std::string_view(utf8)); }
    CaptureSink sink;
};

TEST_F(MessageLayout, FileErrorsPutTheFileOnASecondLine) {
    sink.error(qp::ErrorCode::CannotOpenFile, text("x.html"));
    EXPECT_EQ(sink.last(), "Error(mkbook): could not open file:\n      in file: x.html\n");
    sink.error(qp::ErrorCode::CannotOpenFile);
    EXPECT_EQ(sink.last(), "Error(mkbook): could not open file:\n");
}

TEST_F(MessageLayout, SourcePositionErrorsShowElementLineAndFile) {
    sink.error(qp::ErrorCode::BadTagName, 12, text("c.html"), text("p"));
    EXPECT_EQ(sink.last(),
              "Error(parsing): Invalid or missing XML tag name.\n     <p>     line: 0000012 in file: c.html\n");
    sink.error(qp::ErrorCode::BadTagName, 7);
    EXPECT_EQ(sink.last(), "Error(parsing): Invalid or missing XML tag name.\n     line: 0000007\n");
    sink.error(qp::ErrorCode::BadTagName);
    EXPECT_EQ(sink.last(), "Error(parsing): Invalid or missing XML tag name.\n");
    EXPECT_EQ(sink.lastNumber(), 7);
}

TEST_F(MessageLayout, ArgumentFollowsTheText) {
    sink.error(qp::ErrorCode::SpineIdUnknown, text("item3"));
    EXPECT_EQ(sink.last(), "Error(opfparser): the id in the spine does not match any item in the manifest: item3\n");
}

TEST_F(MessageLayout, AbsentOrFreeSlotsCountAsNotGiven) {
    sink.error(qp::ErrorCode::CannotOpenFile, 450);
    EXPECT_EQ(sink.last(), "Error(mkbook): could not open file:\n");
    int slot = text("gone.html");
    sink.releaseArgument(slot);
    sink.error(qp::ErrorCode::CannotOpenFile, slot);
    EXPECT_EQ(sink.last(), "Error(mkbook): could not open file:\n");
}

TEST_F(MessageLayout, ParsingWarningsShowElementLineAndFile) {
    sink.warning(qp::WarningCode::EmptyKey, 7, text("f.html"), text("key"));
    EXPECT_EQ(sink.last(),
              "Warning(mkbook): encountered an empty \"idx:key\" tag.\nkey       line: 0000007 in file: f.html\n");
    sink.warning(qp::WarningCode::UnclosedNodesAbove, kNoArg, kNoArg, text("div"));
    EXPECT_EQ(sink.last(), "Warning(parsing): Unclosed XML node(s) above.\ndiv\n");
}

TEST_F(MessageLayout, WarningsWithTrailingArguments) {
    sink.warning(qp::WarningCode::InexactConversion, text("f.txt"));
    EXPECT_EQ(sink.last(), "Warning(core): String conversion was inexact.        in file: f.txt\n");
    sink.warning(qp::WarningCode::LinkNotResolved, text("#x"));
    EXPECT_EQ(sink.last(), "Warning(mkbook): Hyperlink not resolved:  #x\n");
    sink.warning(qp::WarningCode::ExternalAnchorRedefined, text("f.html"), text("anchor"));
    EXPECT_EQ(sink.last(),
              "Warning(mkbook): External anchor redefinition. The second external anchor will be ignored. "
              "External anchor names must be unique across the OPF publication. Name of the anchor: anchor\n"
              " in file: f.html\n");
}

TEST_F(MessageLayout, InfoNumbersHaveFixedDigitCounts) {
    sink.info(qp::InfoCode::ParsingFiles, 7);
    EXPECT_EQ(sink.last(), "Info(mkbook): Parsing files  0000007\n");
    sink.info(qp::InfoCode::RecordCount, 1234);
    EXPECT_EQ(sink.last(), "Info(mkbook): Building KOVA file, record count:   0001234\n");
    sink.info(qp::InfoCode::CompressedToPercent, 45, 7);
    EXPECT_EQ(sink.last(), "Info(mkbook): Final stats - text compressed to (in % of original size):  045.07%\n");
    sink.info(qp::InfoCode::FormatVersion, 6);
    EXPECT_EQ(sink.last(), "Info(mkbook): The file format version is V6\n");
    sink.info(qp::InfoCode::StatsText, 123456, 12);
    EXPECT_EQ(sink.last(), "Info(mkbook): Final stats - TEXT:      000123456 bytes 000000012 records \n");
    sink.info(qp::InfoCode::DictionaryStatistics, 5, 3);
    EXPECT_EQ(sink.last(),
              "Info(mkbook/compress): Compression dictionary statistics:  000000005 bytes 000000003 entries \n");
}

TEST_F(MessageLayout, InfoTextArguments) {
    sink.info(qp::InfoCode::ParsingFile, text("ch1.html"));
    EXPECT_EQ(sink.last(), "Info(mkbook): Parsing file     URL: ch1.html\n");
    sink.info(qp::InfoCode::DocumentIdentifier, text("doc"));
    EXPECT_EQ(sink.last(), "Info(mkbook): The document identifier is: \"doc\"\n");
    sink.info(qp::InfoCode::BuildingIndex, 3, text("dict"));
    EXPECT_EQ(sink.last(), "Info(mkbook): Building index into record  0000003 Index name: dict\n");
    sink.info(qp::InfoCode::BuildingKeyIndex);
    EXPECT_EQ(sink.last(), "Info(mkbook): Building foreign key index into record  \n");
    sink.info(qp::InfoCode::UnicodeRangeFound, text("Latin"));
    EXPECT_EQ(sink.last(), "Info(mkbook): Found UNICODE range: Latin\n");
    EXPECT_EQ(sink.lastArgument(), u"Latin");
}

TEST_F(MessageLayout, CodesWithoutARowAreDropped) {
    sink.error(static_cast<qp::ErrorCode>(285));
    sink.warning(static_cast<qp::WarningCode>(17));
    sink.info(qp::InfoCode::None);
    EXPECT_TRUE(sink.lines.empty());
}

TEST(MessageArguments, LongTextsKeepTheirFirst299Characters) {
    CaptureSink sink;
    std::string long400;
    for (int i = 0; i < 400; ++i) long400.push_back(static_cast<char>('a' + i % 26));
    int slot = sink.registerArgument(std::string_view(long400));
    EXPECT_EQ(sink.argument(slot).size(), 299u);
    sink.info(qp::InfoCode::UnicodeRangeFound, slot);
    EXPECT_EQ(sink.last(), "Info(mkbook): Found UNICODE range: " + long400.substr(0, 299) + "\n");
}

TEST(MessageArguments, TheCutNeverSplitsACharacter) {
    CaptureSink sink;
    const std::string text = std::string(298, 'a') + "\xF0\x9F\x93\x96" + "tail";
    EXPECT_EQ(sink.argument(sink.registerArgument(std::string_view(text))), std::u16string(298, u'a'));
}

TEST(MessageArguments, Utf8TextsAreHeldAsUtf16) {
    CaptureSink sink;
    int slot = sink.registerArgument(std::string_view("caf\xC3\xA9 \xF0\x9F\x93\x96"));
    EXPECT_EQ(sink.argument(slot), u"caf\u00E9 \U0001F4D6");
}

TEST(MessageArguments, StringsAreConvertedFromTheirCodePage) {
    qp::MessageSink store;
    int western = store.registerArgument(qp::String(std::string_view("caf\xE9"), 1252));
    EXPECT_EQ(store.argument(western), u"caf\u00E9");
    int utf16 = store.registerArgument(qp::String(std::u16string_view(u"\u0416x")));
    EXPECT_EQ(store.argument(utf16), u"\u0416x");
}

TEST(MessageArguments, FullStoreReusesMarkTwoSlotsBeforeMarkOne) {
    qp::MessageSink store;
    for (int i = 0; i < 399; ++i) ASSERT_EQ(store.registerArgument(std::string_view("one"), 1), i);
    EXPECT_EQ(store.registerArgument(std::string_view("two"), 2), 399);
    // The only mark-2 slot is taken again and again while it exists.
    EXPECT_EQ(store.registerArgument(std::string_view("again"), 2), 399);
    EXPECT_EQ(store.registerArgument(std::string_view("again"), 2), 399);
    EXPECT_EQ(store.argument(399), u"again");
    // A released slot is found first.
    store.releaseArgument(5);
    EXPECT_EQ(store.registerArgument(std::string_view("free"), 2), 5);
}

TEST(MessageArguments, MarkOneSlotsAreReusedRoundRobin) {
    qp::MessageSink store;
    for (int i = 0; i < 400; ++i) store.registerArgument(std::string_view("old"), 1);
    EXPECT_EQ(store.registerArgument(std::string_view("n0"), 1), 0);
    EXPECT_EQ(store.registerArgument(std::string_view("n1"), 1), 1);
    EXPECT_EQ(store.registerArgument(std::string_view("n2"), 1), 2);
    EXPECT_EQ(store.argument(1), u"n1");
}

TEST(MessageArguments, BusyLockDropsRegistrationAndMessage) {
    CaptureSink sink;
    std::lock_guard held(sink.mutex());
    int slot = 0;
    std::thread other([&] {
        slot = sink.registerArgument(std::string_view("late"));
        sink.info(qp::InfoCode::Succeeded);
    });
    other.join();
    EXPECT_EQ(slot, -1);
    EXPECT_TRUE(sink.lines.empty());
}

TEST(PrintedWarnings, CountsWarningsThatReachTheOutputOnly) {
    CaptureSink sink;
    sink.warning(qp::WarningCode::UnsupportedEncoding);
    sink.info(qp::InfoCode::Succeeded);
    sink.error(qp::ErrorCode::FileNotAccessible);
    sink.warning(qp::WarningCode::None);
    EXPECT_EQ(sink.printedWarnings(), 1u);

    qp::ConsoleSink console;
    console.warning(qp::WarningCode::EndTagUnterminated);
    EXPECT_EQ(console.printedWarnings(), 0u) << "a warning the console hides is not counted";
}

TEST(ReportThroughObject, RecordsAndSendsBySeverity) {
    CaptureSink sink;
    qp::FaultHeader object;
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
    qp::FaultHeader object;
    object.quiet = true;
    qp::report(object, qp::ErrorCode::FileNotAccessible);
    qp::report(object, qp::WarningCode::InexactConversion);
    qp::report(object, qp::InfoCode::Saving);
    EXPECT_EQ(object.lastError, qp::ErrorCode::None);
    EXPECT_EQ(object.lastWarning, qp::WarningCode::InexactConversion);
    EXPECT_EQ(object.lastInfo, qp::InfoCode::Saving);
    EXPECT_TRUE(sink.lines.empty());
}

}  // namespace
