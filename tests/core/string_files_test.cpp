// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "captured_sink.h"
#include "core/message_sink.h"
#include "core/string.h"
#include "support/test_support.h"

namespace {

using qp::String;
using qp::TextKind;

class StringFile : public ::testing::Test {
protected:
    // Writes bytes to a file of the scratch directory and loads it.
    String load(const std::string& bytes) {
        std::filesystem::path file = dir / "text.bin";
        qptest::writeFile(file, bytes);
        String text;
        text.messages = &recorder;
        loaded = text.loadFile(String::fromUtf8(file.string()));
        return text;
    }

    qptest::TempDir dir;
    CapturedSink recorder;
    bool loaded = false;
};

TEST_F(StringFile, LittleEndianMarkGivesUtf16) {
    String text = load(std::string("\xFF\xFE"
                                   "A\0\xE9\0",
                                   6));
    ASSERT_TRUE(loaded);
    EXPECT_EQ(text.kind(), TextKind::Utf16);
    EXPECT_EQ(text.codePage(), 65002);
    EXPECT_EQ(text.bytes(), std::string("A\0\xE9\0", 4));
}

TEST_F(StringFile, BigEndianMarkIsSwappedToTheSameLittleEndianText) {
    String little = load(std::string("\xFF\xFE"
                                     "A\0\x16\x04",
                                     6));
    String big = load(std::string("\xFE\xFF"
                                  "\0A\x04\x16",
                                  6));
    ASSERT_TRUE(loaded);
    EXPECT_EQ(big.kind(), TextKind::Utf16);
    EXPECT_EQ(big.bytes(), little.bytes());
    EXPECT_EQ(big.toUtf16(), u"A\u0416");
}

TEST_F(StringFile, Utf8MarkGivesCodePage65001) {
    String text = load("\xEF\xBB\xBFh\xC3\xA9");
    ASSERT_TRUE(loaded);
    EXPECT_EQ(text.kind(), TextKind::MultiByte);
    EXPECT_EQ(text.codePage(), 65001);
    EXPECT_EQ(text.bytes(), "h\xC3\xA9");
}

TEST_F(StringFile, UnmarkedTextIsAsciiUntilDeclared) {
    String text = load("<?xml?>\xE9");
    ASSERT_TRUE(loaded);
    EXPECT_EQ(text.kind(), TextKind::SingleByte);
    EXPECT_EQ(text.codePage(), 20105);
    EXPECT_EQ(text.bytes(), "<?xml?>\xE9");

    String empty = load("");
    EXPECT_TRUE(loaded);
    EXPECT_TRUE(empty.empty());
    String shortMark = load("\xFF");  // too short for a mark
    EXPECT_EQ(shortMark.codePage(), 20105);
    EXPECT_EQ(shortMark.bytes(), "\xFF");
}

TEST_F(StringFile, OddLengthUtf16LosesItsLastByteWithError7) {
    String text = load(std::string("\xFF\xFE"
                                   "A\0B",
                                   5));
    EXPECT_FALSE(loaded);
    EXPECT_EQ(text.bytes(), std::string("A\0", 2));
    EXPECT_EQ(text.lastError, qp::ErrorCode::FileNotAccessible);
    ASSERT_TRUE(recorder.saw(qp::ErrorCode::FileNotAccessible));
    EXPECT_EQ(recorder.errors.back().text(0), text.context.text());
}

TEST_F(StringFile, PathBecomesTheContext) {
    String text = load("x");
    ASSERT_TRUE(text.context.given());
    EXPECT_EQ(text.context.text(), (dir / "text.bin").u16string());
}

TEST_F(StringFile, UnreadablePathsAreError7) {
    String missing;
    missing.messages = &recorder;
    EXPECT_FALSE(missing.loadFile(String::fromUtf8((dir / "none.html").string())));
    EXPECT_EQ(missing.lastError, qp::ErrorCode::FileNotAccessible);
    EXPECT_TRUE(missing.empty());

    String directory;
    directory.messages = &recorder;
    EXPECT_FALSE(directory.loadFile(String::fromUtf8(dir.path().string())));
    EXPECT_EQ(directory.lastError, qp::ErrorCode::FileNotAccessible);

    String overlong;
    overlong.messages = &recorder;
    EXPECT_FALSE(overlong.loadFile(String(std::string(600, 'p'), 1252)));
    EXPECT_EQ(overlong.lastError, qp::ErrorCode::FileNotAccessible);
    EXPECT_EQ(recorder.errors.size(), 3u);
}

TEST_F(StringFile, QuietStringsNeitherReportNorRecordErrors) {
    String quiet;
    quiet.messages = &recorder;
    quiet.quiet = true;
    EXPECT_FALSE(quiet.loadFile(String::fromUtf8((dir / "none.html").string())));
    EXPECT_TRUE(recorder.errors.empty());
}

TEST_F(StringFile, BackslashPathsReachTheFile) {
    qptest::writeFile(dir / "sub.txt", "ok");
    String text;
    std::string path = dir.path().string() + "\\sub.txt";
    ASSERT_TRUE(text.loadFile(String(path, 1252)));
    EXPECT_EQ(text.bytes(), "ok");
}

}  // namespace
