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
    EXPECT_EQ(s.context, -1);
    EXPECT_FALSE(s.wipe());
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

TEST(StringConstruction, BadArgumentsAreReportedNotFatal) {
    CapturedSink recorder;
    String utf16As8Bit("abc", 65002);
    EXPECT_EQ(utf16As8Bit.lastError, qp::ErrorCode::StringUnknown);
    EXPECT_TRUE(utf16As8Bit.empty());

    String nullBytes = String::fromBytes(nullptr, 4);
    EXPECT_EQ(nullBytes.lastError, qp::ErrorCode::StringSelfCheckFailed);
    EXPECT_TRUE(nullBytes.empty());
    EXPECT_TRUE(recorder.saw(qp::ErrorCode::StringUnknown));
    EXPECT_TRUE(recorder.saw(qp::ErrorCode::StringSelfCheckFailed));

    String raw = String::fromBytes("\x01\x02", 2);
    EXPECT_EQ(raw.kind(), TextKind::Raw);
    EXPECT_EQ(raw.codePage(), -1);
    EXPECT_EQ(bytesOf(raw), "\x01\x02");
}

TEST(StringCopy, CopiesOnlyTheViewWithEncodingAndWipeFlag) {
    String path("books/novel.html", 1252);
    path.setWipe(true);
    ASSERT_TRUE(path.narrowAtLast('/', '\\', String::Side::After));
    String copy(path);
    EXPECT_EQ(bytesOf(copy), "novel.html");
    EXPECT_EQ(copy.viewBegin(), 0u);
    EXPECT_EQ(copy.viewEnd(), 10u);
    EXPECT_EQ(copy.codePage(), 1252);
    EXPECT_TRUE(copy.wipe());

    String assigned("old", 65001);
    assigned = path;
    EXPECT_EQ(bytesOf(assigned), "novel.html");
    EXPECT_EQ(assigned.codePage(), 1252);
}

TEST(StringCopy, SelfAssignmentKeepsTheTextAndView) {
    String s("a/b", 1252);
    s.setView(2, 3);
    String& alias = s;
    s = alias;
    EXPECT_EQ(bytesOf(s), "a/b");
    EXPECT_EQ(s.viewBegin(), 2u);
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
    s.setWipe(true);
    s.context = 3;
    s.setView(1, 2);
    s.clear();
    EXPECT_TRUE(s.empty());
    EXPECT_EQ(s.kind(), TextKind::Raw);
    EXPECT_EQ(s.codePage(), -1);
    EXPECT_EQ(s.context, -1);
    EXPECT_FALSE(s.wipe());
    EXPECT_EQ(s.viewEnd(), 0u);
}

TEST(StringView, IsClampedToTheText) {
    String s("abcdef", 1252);
    s.setView(4, 100);
    EXPECT_EQ(s.viewBytes(), "ef");
    s.setView(9, 2);
    EXPECT_EQ(s.viewBegin(), 2u);
    EXPECT_EQ(s.viewBytes(), "");
    s.resetView();
    EXPECT_EQ(s.viewBytes(), "abcdef");
}

TEST(StringAppend, EmptyStringTakesTheCodePage) {
    String s;
    ASSERT_TRUE(s.append("caf\xE9", 1252));
    EXPECT_EQ(s.codePage(), 1252);
    EXPECT_EQ(s.kind(), TextKind::SingleByte);
    ASSERT_TRUE(s.append("s", 1252));
    EXPECT_EQ(bytesOf(s), "caf\xE9s");
    EXPECT_EQ(s.viewBytes(), "caf\xE9s");
}

TEST(StringAppend, MismatchedCodePageIsRefusedAndNothingIsAppended) {
    CapturedSink recorder;
    String s("abc", 1252);
    EXPECT_FALSE(s.append("d", 65001));
    EXPECT_EQ(s.lastError, qp::ErrorCode::IncoherentEncodings);
    EXPECT_TRUE(recorder.saw(qp::ErrorCode::IncoherentEncodings));
    EXPECT_EQ(bytesOf(s), "abc");
    EXPECT_FALSE(s.append(String(u"x")));
    EXPECT_EQ(bytesOf(s), "abc");
}

TEST(StringAppend, AppendsTheOthersViewAndItselfAndLongRuns) {
    String s("ab", 1252);
    String other("x/yz", 1252);
    other.setView(2, 4);
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

TEST(StringAppend, CharacterIsEncodedInTheStringsOwnEncoding) {
    String single("", 1252);
    ASSERT_TRUE(single.appendChar(0xE9));
    EXPECT_EQ(bytesOf(single), "\xE9");

    String utf8("", 65001);
    ASSERT_TRUE(utf8.appendChar(0x20AC));
    ASSERT_TRUE(utf8.appendChar(0x1F600));
    EXPECT_EQ(bytesOf(utf8), "\xE2\x82\xAC\xF0\x9F\x98\x80");

    String utf16(u"");
    ASSERT_TRUE(utf16.appendChar(0x1F600));
    ASSERT_TRUE(utf16.appendChar('A'));
    EXPECT_EQ(bytesOf(utf16), std::string("\x3D\xD8\x00\xDE\x41\x00", 6));

    String sjis("", 932);
    ASSERT_TRUE(sjis.appendChar(0x93FA));
    ASSERT_TRUE(sjis.appendChar('a'));
    EXPECT_EQ(bytesOf(sjis), "\x93\xFA"
                             "a");
}

TEST(StringAppend, CharacterWithoutEncodingIsError9) {
    CapturedSink recorder;
    String raw;
    EXPECT_FALSE(raw.appendChar('a'));
    EXPECT_EQ(raw.lastError, qp::ErrorCode::EncodingNotSet);
    EXPECT_TRUE(raw.empty());
}

TEST(StringCursor, WalksCharactersOfEachEncoding) {
    String sjis("a\x93\xFA"
                "b",
                932);
    EXPECT_EQ(sjis.nextChar(), 'a');
    EXPECT_EQ(sjis.nextChar(), 0x93FA);
    EXPECT_EQ(sjis.nextChar(), 'b');

    String utf8("\xC3\xA9\xE2\x82\xAC", 65001);
    EXPECT_EQ(utf8.nextChar(), 0xE9);
    EXPECT_EQ(utf8.nextChar(), 0x20AC);

    String utf16(u"\u0416z");
    EXPECT_EQ(utf16.nextChar(), 0x0416);
    EXPECT_EQ(utf16.nextChar(), 'z');

    String big5("\xA4\xA4", 950);
    EXPECT_EQ(big5.nextChar(), 0xA4A4);
    EXPECT_EQ(big5.charLength(0), 2u);
    EXPECT_EQ(String("\x8F\xB0\xA1", 51932).charLength(0), 3u);
    EXPECT_EQ(String("\xA1\xA1", 936).charLength(0), 2u);
    EXPECT_EQ(String("\x81\x41", 936).charLength(0), 1u);
}

TEST(StringCursor, PastTheEndRecordsWarning2WithoutReportingIt) {
    CapturedSink recorder;
    String s("ab", 1252);
    s.setView(1, 2);
    EXPECT_EQ(s.nextChar(), 'b');
    EXPECT_EQ(s.lastWarning, qp::WarningCode::None);
    EXPECT_EQ(s.nextChar(), 0);
    EXPECT_EQ(s.lastWarning, qp::WarningCode::PastEndOfString);
    EXPECT_EQ(s.nextChar(), 0);
    EXPECT_TRUE(recorder.warnings.empty());
    s.rewindCursor();
    EXPECT_EQ(s.nextChar(), 'b');
}

TEST(StringCursor, BrokenSequencesDoNotSwallowFollowingCharacters) {
    String utf8("\xC3"
                "A\xE2\x82",
                65001);
    EXPECT_EQ(utf8.nextChar(), 0xFFFD);
    EXPECT_EQ(utf8.nextChar(), 'A');
    EXPECT_EQ(utf8.nextChar(), 0xFFFD);  // cut off by the end of the text
    EXPECT_EQ(utf8.nextChar(), 0xFFFD);  // the stray continuation byte on its own
    EXPECT_EQ(utf8.nextChar(), 0);

    String sjis("a\x93", 932);
    EXPECT_EQ(sjis.nextChar(), 'a');
    EXPECT_EQ(sjis.nextChar(), 0x93);
    EXPECT_EQ(sjis.nextChar(), 0);
}

TEST(StringCursor, UnknownLeadBytesAreError6AndCountOneByte) {
    CapturedSink recorder;
    String jis("\x1B$B", 50220);
    EXPECT_EQ(jis.nextChar(), 0x1B);
    EXPECT_EQ(jis.lastError, qp::ErrorCode::EncodingNotSupported);
    EXPECT_EQ(jis.nextChar(), '$');
}

TEST(StringCompare, CaseBlindOnlyForAsciiLetters) {
    String upper("CHAPTER", 1252);
    String lower("chapter", 1252);
    EXPECT_EQ(upper.compare(lower), 0);
    EXPECT_NE(upper.compare(lower, true), 0);
    EXPECT_TRUE(upper.equals(lower));
    EXPECT_FALSE(upper.equals(lower, true));
    EXPECT_NE(String("\xC9", 1252).compare(String("\xE9", 1252)), 0);  // É and é differ
}

TEST(StringCompare, OrdersByCharacterAndLength) {
    EXPECT_LT(String("abc", 1252).compare(String("abd", 1252)), 0);
    EXPECT_GT(String("b", 1252).compare(String("abc", 1252)), 0);
    EXPECT_LT(String("ab", 1252).compare(String("abc", 1252)), 0);
    EXPECT_GT(String("abc", 1252).compare(String("ab", 1252)), 0);
    EXPECT_EQ(String("", 1252).compare(String("", 65001)), 0);
}

TEST(StringCompare, PrefixModeStopsAtTheShorterView) {
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
    String view("x.HTML", 1252);
    view.setView(2, 6);
    EXPECT_TRUE(view.equalsAscii("html"));
    EXPECT_FALSE(view.equalsAscii("html", true));
    EXPECT_FALSE(view.equalsAscii("htm"));
    EXPECT_FALSE(view.equalsAscii("htmls"));
}

TEST(StringNarrow, SetsTheViewAroundTheLastSeparator) {
    String s("a/b\\c.d", 1252);
    ASSERT_TRUE(s.narrowAtLast('/', '\\', String::Side::Before));
    EXPECT_EQ(s.viewBytes(), "a/b");
    s.resetView();
    ASSERT_TRUE(s.narrowAtLast('/', '\\', String::Side::BeforeWithSeparator));
    EXPECT_EQ(s.viewBytes(), "a/b\\");
    s.resetView();
    ASSERT_TRUE(s.narrowAtLast('/', '\\', String::Side::After));
    EXPECT_EQ(s.viewBytes(), "c.d");
    EXPECT_FALSE(s.narrowAtLast('/', '\\', String::Side::Before));
    EXPECT_EQ(s.viewBytes(), "c.d");
}

TEST(StringNarrow, IgnoresSeparatorBytesInsideDoubleByteCharacters) {
    // 0x95 0x5C is one Shift-JIS character whose second byte is a backslash.
    String s("dir/\x95\x5C.txt", 932);
    EXPECT_EQ(s.fileNamePart().viewBytes(), "\x95\x5C.txt");
    EXPECT_EQ(s.directoryPart().viewBytes(), "dir/");
}

}  // namespace
