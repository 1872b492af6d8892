// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <string>

#include "captured_sink.h"
#include "core/string.h"

namespace {

using qp::String;
using qp::TextKind;

std::string bytesOf(const String& s) { return std::string(s.bytes()); }

TEST(StringConstruction, StartsUnsetAndEmpty) {
    String s;
    EXPECT_EQ(s.kind(), TextKind::Raw);
    EXPECT_EQ(s.codePage(), -1);
    EXPECT_TRUE(s.empty());
    EXPECT_FALSE(s.context.given());
    EXPECT_EQ(s.lastError, qp::ErrorCode::None);
}

TEST(StringConstruction, Utf16LiteralIsLittleEndianWithoutTerminator) {
    String s(u"Ab\u20AC");
    EXPECT_EQ(s.kind(), TextKind::Utf16);
    EXPECT_EQ(s.codePage(), 65002);
    EXPECT_EQ(bytesOf(s), std::string("A\0b\0\xAC\x20", 6));
    EXPECT_EQ(s.data()[6], 0);  // the 16-bit terminator behind the text
    EXPECT_EQ(s.data()[7], 0);
}

TEST(StringConstruction, CodePageDecidesTheKind) {
    EXPECT_EQ(String("abc", 1252).kind(), TextKind::SingleByte);
    EXPECT_EQ(String("abc", 932).kind(), TextKind::MultiByte);
    EXPECT_EQ(String("abc", 65001).kind(), TextKind::MultiByte);
    EXPECT_EQ(qp::kindOfCodePage(51932), TextKind::MultiByte);
    EXPECT_EQ(qp::kindOfCodePage(50220), TextKind::MultiByte);
    EXPECT_EQ(qp::kindOfCodePage(28592), TextKind::SingleByte);
    EXPECT_EQ(qp::kindOfCodePage(65002), TextKind::Utf16);
    EXPECT_EQ(qp::kindOfCodePage(-1), TextKind::Raw);
}

TEST(StringConstruction, BadArgumentsAreRecordedNotFatal) {
    String utf16As8Bit("abc", 65002);
    EXPECT_EQ(utf16As8Bit.lastError, qp::ErrorCode::StringUnknown);
    EXPECT_TRUE(utf16As8Bit.empty());

    String nullBytes = String::fromBytes(nullptr, 4);
    EXPECT_EQ(nullBytes.lastError, qp::ErrorCode::StringSelfCheckFailed);
    EXPECT_TRUE(nullBytes.empty());

    String raw = String::fromBytes("\x01\x02", 2);
    EXPECT_EQ(raw.kind(), TextKind::Raw);
    EXPECT_EQ(raw.codePage(), -1);
    EXPECT_EQ(bytesOf(raw), "\x01\x02");
}

TEST(StringCopy, CopiesTheTextWithEncodingAndContext) {
    String path("novel.html", 1252);
    path.context = "dir/novel.html";
    String copy(path);
    EXPECT_EQ(bytesOf(copy), "novel.html");
    EXPECT_EQ(copy.codePage(), 1252);
    EXPECT_EQ(copy.context.text(), u"dir/novel.html");

    String assigned("old", 65001);
    assigned = path;
    EXPECT_EQ(bytesOf(assigned), "novel.html");
    EXPECT_EQ(assigned.codePage(), 1252);
}

TEST(StringCopy, SelfAssignmentKeepsTheText) {
    String s("a/b", 1252);
    String& alias = s;
    s = alias;
    EXPECT_EQ(bytesOf(s), "a/b");
}

TEST(StringCopy, MoveLeavesTheSourceCleared) {
    String source("text", 1252);
    String target(std::move(source));
    EXPECT_EQ(bytesOf(target), "text");
    EXPECT_TRUE(source.empty());  // NOLINT: checking the moved-from state on purpose
    EXPECT_EQ(source.codePage(), -1);
}

TEST(StringCopy, ClearResetsEveryField) {
    String s("abc", 1252);
    s.context = "f.txt";
    s.clear();
    EXPECT_TRUE(s.empty());
    EXPECT_EQ(s.kind(), TextKind::Raw);
    EXPECT_EQ(s.codePage(), -1);
    EXPECT_FALSE(s.context.given());
}

TEST(StringAppend, EmptyStringTakesTheCodePage) {
    String s;
    ASSERT_TRUE(s.append("caf\xE9", 1252));
    EXPECT_EQ(s.codePage(), 1252);
    EXPECT_EQ(s.kind(), TextKind::SingleByte);
    ASSERT_TRUE(s.append("s", 1252));
    EXPECT_EQ(bytesOf(s), "caf\xE9s");
}

TEST(StringAppend, MismatchedCodePageIsRefusedAndNothingIsAppended) {
    CapturedSink recorder;
    String s("abc", 1252);
    s.messages = &recorder;
    EXPECT_FALSE(s.append("d", 65001));
    EXPECT_EQ(s.lastError, qp::ErrorCode::IncoherentEncodings);
    EXPECT_TRUE(recorder.saw(qp::ErrorCode::IncoherentEncodings));
    EXPECT_EQ(bytesOf(s), "abc");
    EXPECT_FALSE(s.append(String(u"x")));
    EXPECT_EQ(bytesOf(s), "abc");
}

TEST(StringAppend, AppendsTheOtherAndItselfAndLongRuns) {
    String s("ab", 1252);
    String other("yz", 1252);
    ASSERT_TRUE(s.append(other));
    EXPECT_EQ(bytesOf(s), "abyz");
    ASSERT_TRUE(s.append(s));
    EXPECT_EQ(bytesOf(s), "abyzabyz");
    std::string expected = "abyzabyz";
    for (int i = 0; i < 500; ++i) {
        ASSERT_TRUE(s.append("0123456789", 1252));
        expected += "0123456789";
    }
    EXPECT_EQ(bytesOf(s), expected);
    EXPECT_EQ(s.data()[s.length()], 0);
    EXPECT_EQ(s.data()[s.length() + 1], 0);
}

TEST(StringCompare, CaseBlindOnlyForAsciiLetters) {
    String upper("CHAPTER", 1252);
    String lower("chapter", 1252);
    EXPECT_EQ(upper.compare(lower), 0);
    EXPECT_NE(upper.compare(lower, true), 0);
    EXPECT_NE(String("\xC9", 1252).compare(String("\xE9", 1252)), 0);  // É and é differ
}

TEST(StringCompare, OrdersByCharacterAndLength) {
    EXPECT_LT(String("abc", 1252).compare(String("abd", 1252)), 0);
    EXPECT_GT(String("b", 1252).compare(String("abc", 1252)), 0);
    EXPECT_LT(String("ab", 1252).compare(String("abc", 1252)), 0);
    EXPECT_GT(String("abc", 1252).compare(String("ab", 1252)), 0);
    EXPECT_EQ(String("", 1252).compare(String("", 65001)), 0);
}

TEST(StringCompare, PrefixModeStopsAtTheShorterText) {
    String shorter("opf", 1252);
    String longer("OPFcache", 1252);
    EXPECT_EQ(shorter.compare(longer, false, true), 0);
    EXPECT_EQ(longer.compare(shorter, false, true), 0);
    EXPECT_NE(shorter.compare(longer, true, true), 0);
    EXPECT_NE(String("opx", 1252).compare(longer, false, true), 0);
}

TEST(StringCompare, ComparesCharactersAcrossEncodings) {
    EXPECT_EQ(String(u"Book\u00E9").compare(String("book\xC3\xA9", 65001)), 0);
    EXPECT_EQ(String(u"\u65E5").compare(String("\xE6\x97\xA5", 65001)), 0);
    String extension("HTML", 1252);
    EXPECT_TRUE(extension.equalsAscii("html"));
    EXPECT_FALSE(extension.equalsAscii("html", true));
    EXPECT_FALSE(extension.equalsAscii("htm"));
    EXPECT_FALSE(extension.equalsAscii("htmls"));
}

TEST(StringCompare, BrokenSequencesCompareAsReplacementCharacters) {
    // A cut-off UTF-8 sequence is one U+FFFD and does not swallow the character after it.
    EXPECT_EQ(String("\xC3"
                     "A\xE2\x82",
                     65001)
                  .compare(String(u"\uFFFDA\uFFFD\uFFFD")),
              0);
}

TEST(StringPaths, IgnoreSeparatorBytesInsideDoubleByteCharacters) {
    // 0x95 0x5C is one Shift-JIS character whose second byte is a backslash.
    String s("dir/\x95\x5C.txt", 932);
    EXPECT_EQ(s.fileNamePart().bytes(), "\x95\x5C.txt");
    EXPECT_EQ(s.directoryPart().bytes(), "dir/");
}

}  // namespace
