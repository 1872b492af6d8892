// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <string>

#include "captured_sink.h"
#include "core/string.h"

namespace {

using qp::String;
using qp::TextKind;

std::string bytesOf(const String& s) { return std::string(s.bytes()); }

// The little-endian bytes of UTF-16 units, written out by hand in the cases below.
std::string le(std::u16string_view units) {
    std::string bytes;
    for (char16_t unit : units) {
        bytes.push_back(static_cast<char>(unit & 0xFF));
        bytes.push_back(static_cast<char>(unit >> 8));
    }
    return bytes;
}

struct RoundTrip {
    int codePage;
    std::string encoded;
    std::u16string units;
};

class CodePageRoundTrip : public ::testing::TestWithParam<RoundTrip> {};

TEST_P(CodePageRoundTrip, ToUtf16AndBackIsExact) {
    const RoundTrip& sample = GetParam();
    CapturedSink recorder;
    String s(sample.encoded, sample.codePage);
    s.messages = &recorder;
    ASSERT_TRUE(s.convertTo(65002));
    EXPECT_EQ(s.kind(), TextKind::Utf16);
    EXPECT_EQ(s.codePage(), 65002);
    EXPECT_EQ(bytesOf(s), le(sample.units));
    EXPECT_EQ(s.toUtf16(), sample.units);

    ASSERT_TRUE(s.convertTo(sample.codePage));
    EXPECT_EQ(s.codePage(), sample.codePage);
    EXPECT_EQ(bytesOf(s), sample.encoded);
    EXPECT_TRUE(recorder.errors.empty());
    EXPECT_TRUE(recorder.warnings.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Samples, CodePageRoundTrip,
    ::testing::Values(RoundTrip{1252, "\x80\x8A\x9C \xE9", u"\u20AC\u0160\u0153 \u00E9"},
                      RoundTrip{65001, "\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80", u"\u00E9\u20AC\U0001F600"},
                      RoundTrip{932,
                                "\x93\xFA\x96\x7B"
                                "a\xB1",
                                u"\u65E5\u672Ca\uFF71"},
                      RoundTrip{936, "\xD6\xD0\xCE\xC4", u"\u4E2D\u6587"},
                      RoundTrip{949, "\xC7\xD1\xB1\xB9", u"\uD55C\uAD6D"},
                      RoundTrip{950, "\xA4\xA4\xA4\xE5", u"\u4E2D\u6587"},
                      RoundTrip{1251, "\xCF\xF0\xE8\xE2\xE5\xF2", u"\u041F\u0440\u0438\u0432\u0435\u0442"},
                      RoundTrip{28592,
                                "\xA3\xF3"
                                "d\xBC",
                                u"\u0141\u00F3d\u017A"},
                      RoundTrip{10000, "\x80\x8E\x9F", u"\u00C4\u00E9\u00FC"},
                      RoundTrip{20866, "\xE1\xE2\xC2", u"\u0410\u0411\u0431"}, RoundTrip{51932, "\xC6\xFC", u"\u65E5"}),
    [](const ::testing::TestParamInfo<RoundTrip>& test) { return "cp" + std::to_string(test.param.codePage); });

TEST(StringConversion, UnmappableCharactersBecomeQuestionMarksWithWarning3) {
    CapturedSink recorder;
    String s(u"\u65E5\u672C ok \U0001F600");
    s.messages = &recorder;
    s.context = "notes.txt";
    ASSERT_TRUE(s.convertTo(1252));
    EXPECT_EQ(bytesOf(s), "?? ok ?");
    EXPECT_EQ(s.lastWarning, qp::WarningCode::InexactConversion);
    ASSERT_EQ(recorder.warnings.size(), 1u);
    EXPECT_EQ(recorder.warnings[0].code, qp::WarningCode::InexactConversion);
    EXPECT_EQ(recorder.warnings[0].text(0), u"notes.txt");  // the file the text came from
}

TEST(StringConversion, LossyConversionThroughIconvIsDetected) {
    CapturedSink recorder;
    String s(u"\u0416\u00E9");  // Zhe has no Latin-2 form
    s.messages = &recorder;
    ASSERT_TRUE(s.convertTo(28592));
    EXPECT_EQ(bytesOf(s), "?\xE9");
    EXPECT_TRUE(recorder.saw(qp::WarningCode::InexactConversion));
}

TEST(StringConversion, AsciiKeepsTheLow7BitsAndCountsChangesAsLossy) {
    CapturedSink recorder;
    String s("caf\xE9", 20105);
    s.messages = &recorder;
    ASSERT_TRUE(s.convertTo(65002));
    EXPECT_EQ(bytesOf(s), le(u"cafi"));
    EXPECT_TRUE(recorder.saw(qp::WarningCode::InexactConversion));

    CapturedSink clean;
    String plain(u"plain");
    plain.messages = &clean;
    ASSERT_TRUE(plain.convertTo(20105));
    EXPECT_EQ(bytesOf(plain), "plain");
    EXPECT_TRUE(clean.warnings.empty());
}

TEST(StringConversion, InvalidUtf8IsReplacedAndReportedAsError10) {
    CapturedSink recorder;
    String s("a\xFF"
             "b\xC0\xAF"
             "c\xED\xA0\x80"
             "d\xE2\x82",
             65001);
    s.messages = &recorder;
    ASSERT_TRUE(s.convertTo(65002));
    // 0xFF, both bytes of the overlong C0 AF, the encoded surrogate and the cut-off tail are replaced.
    EXPECT_EQ(s.toUtf16(), u"a\uFFFDb\uFFFD\uFFFDc\uFFFDd\uFFFD");
    EXPECT_EQ(s.lastError, qp::ErrorCode::UnicodeConversionFailed);
    EXPECT_TRUE(recorder.saw(qp::ErrorCode::UnicodeConversionFailed));
}

TEST(StringConversion, UnknownCodePageIsError10AndRetriedAsWindows1252) {
    CapturedSink recorder;
    String s("\x80"
             "x",
             12345);
    s.messages = &recorder;
    ASSERT_TRUE(s.convertTo(65002));
    EXPECT_EQ(bytesOf(s), le(u"\u20ACx"));
    EXPECT_TRUE(recorder.saw(qp::ErrorCode::UnicodeConversionFailed));
}

TEST(StringConversion, RawTextCannotBeConverted) {
    String raw = String::fromBytes("abc", 3);
    EXPECT_FALSE(raw.convertTo(1252));
    EXPECT_EQ(raw.lastError, qp::ErrorCode::EncodingNotSupported);
    EXPECT_EQ(raw.kind(), TextKind::Raw);
}

TEST(StringConversion, ConvertsTheWholeText) {
    String s("ab\xE9", 1252);
    ASSERT_TRUE(s.convertTo(65001));
    EXPECT_EQ(bytesOf(s), "ab\xC3\xA9");
}

TEST(StringConversion, CopiesToUtf8AndUtf16LeaveTheObjectAlone) {
    String s("x\xE9y", 1252);
    EXPECT_EQ(s.toUtf8(), "x\xC3\xA9y");
    EXPECT_EQ(s.toUtf16(), u"x\u00E9y");
    EXPECT_EQ(s.codePage(), 1252);
    EXPECT_EQ(String(u"\U0001F600").toUtf8(), "\xF0\x9F\x98\x80");
    EXPECT_EQ(String(u"\xD800"
                     "a")
                  .toUtf8(),
              "\xEF\xBF\xBD"
              "a");                                                // a lone surrogate
    EXPECT_EQ(String::fromBytes("\x80", 1).toUtf16(), u"\u20AC");  // raw bytes read as Windows-1252
}

TEST(StringCharset, NamesMapToCodePagesCaseBlind) {
    EXPECT_EQ(qp::codePageOfCharset("x-sjis"), 932);
    EXPECT_EQ(qp::codePageOfCharset("SHIFT_JIS"), 932);
    EXPECT_EQ(qp::codePageOfCharset("GB_2312-80"), 936);
    EXPECT_EQ(qp::codePageOfCharset("Latin1"), 1252);
    EXPECT_EQ(qp::codePageOfCharset("us"), 1252);
    EXPECT_EQ(qp::codePageOfCharset("ks_c_5601 949"), 949);
    EXPECT_EQ(qp::codePageOfCharset("X-X-BIG5"), 950);
    EXPECT_EQ(qp::codePageOfCharset("US-ASCII"), 20105);
    EXPECT_EQ(qp::codePageOfCharset("UTF-8"), 65001);
    EXPECT_EQ(qp::codePageOfCharset("unicode-2-0-utf-8"), 65001);
    EXPECT_EQ(qp::codePageOfCharset("mac"), 10000);
    EXPECT_EQ(qp::codePageOfCharset("EUC-JP"), 51932);
    EXPECT_EQ(qp::codePageOfCharset("l2"), 28592);
    EXPECT_EQ(qp::codePageOfCharset("x-cp1250"), 1250);
    EXPECT_EQ(qp::codePageOfCharset("windows-1251"), 1251);
    EXPECT_EQ(qp::codePageOfCharset("Windows-1253"), 1253);
    EXPECT_EQ(qp::codePageOfCharset("Windows-1254"), 1254);
    EXPECT_EQ(qp::codePageOfCharset("csKOI8R"), 20866);
    EXPECT_EQ(qp::codePageOfCharset("l4"), 28594);
    EXPECT_EQ(qp::codePageOfCharset("cyrillic"), 28595);
    EXPECT_EQ(qp::codePageOfCharset("greek8"), 28597);
    EXPECT_EQ(qp::codePageOfCharset("csISOLatin5"), 28599);
    EXPECT_EQ(qp::codePageOfCharset("Windows-1256"), 1256);
    EXPECT_EQ(qp::codePageOfCharset("windows-874"), 874);
    EXPECT_EQ(qp::codePageOfCharset("Windows-1258"), 1258);
}

TEST(StringCharset, NearMissesAreNotFound) {
    EXPECT_EQ(qp::codePageOfCharset("utf"), -1);
    EXPECT_EQ(qp::codePageOfCharset("utf-8 "), -1);
    EXPECT_EQ(qp::codePageOfCharset("windows-1252x"), -1);
    EXPECT_EQ(qp::codePageOfCharset("l\xC2\xB2"), -1);
}

}  // namespace
