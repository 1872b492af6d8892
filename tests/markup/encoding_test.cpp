// SPDX-License-Identifier: GPL-3.0-or-later
// Finding a source's text encoding from the document itself.
#include <gtest/gtest.h>

#include <string>

#include "markup/encoding_detection.h"
#include "xml_test_support.h"

namespace {

using qp::detectEncoding;

// A source as the file loader leaves a file without byte-order mark: code page 20105 until its real one is set.
qp::String unknown(const std::string& text) { return qp::String(text, 20105); }

TEST(EncodingDetection, MetaCharsetNamesTheCodePage) {
    qp::String source =
        unknown("<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1252\">"
                "</head><body>x</body></html>");
    EXPECT_EQ(detectEncoding(source), 1252);
    EXPECT_EQ(source.codePage(), 1252);
    EXPECT_EQ(source.kind(), qp::TextKind::SingleByte);
}

TEST(EncodingDetection, Html5CharsetAndMetasThatDeclareSomethingElse) {
    const struct {
        const char* head;
        int32_t codePage;
    } cases[] = {
        {"<meta charset=\"utf-8\">", 65001},
        {"<META CHARSET='KOI8-R'>", 20866},
        {"<meta http-equiv=\"Content-Style-Type\" content=\"text/css\"><meta charset=utf-8>", 65001},
        {"<meta http-equiv=\"Content-Style-Type\" content=\"text/css\">"
         "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">",
         65001},
        {"<meta name=\"viewport\" content=\"width=device-width\"><meta charset=\"iso-8859-2\">", 28592},
    };
    for (const auto& c : cases) {
        qp::String source = unknown(std::string("<html><head>") + c.head + "</head><body>caf\xc3\xa9</body></html>");
        EXPECT_EQ(detectEncoding(source), c.codePage) << c.head;
    }
}

TEST(EncodingDetection, DeclaredAsciiIsReadAsTheAnsiCodePage) {
    qp::String source = unknown("<meta http-equiv=\"Content-Type\" content=\"text/html; charset=us-ascii\">Caf\xe9");
    EXPECT_EQ(detectEncoding(source), qp::kCodePageSystemDefault);
    EXPECT_EQ(source.toUtf8().substr(source.toUtf8().size() - 5), "Caf\xc3\xa9");
}

TEST(EncodingDetection, EmptyMetaCharsetFallsBackToTheAnsiCodePage) {
    qp::String source = unknown("<html><meta http-equiv=\"Content-Type\" content=\"text/html; charset=\">");
    EXPECT_EQ(detectEncoding(source), qp::kCodePageSystemDefault);
    EXPECT_EQ(source.lastWarning, qp::WarningCode::NoEncodingFound);
}

TEST(EncodingDetection, XmlDeclarationWithoutEncodingMeansUtf8) {
    qp::String source = unknown("<?xml version=\"1.0\"?>\n<html><body>\xc3\xa9</body></html>");
    EXPECT_EQ(detectEncoding(source), qp::kCodePageUtf8);
    EXPECT_EQ(source.kind(), qp::TextKind::MultiByte);
}

TEST(EncodingDetection, SourceKnownToBeUtf8IsNotExamined) {
    qp::String source("<?xml version=\"1.0\" encoding=\"iso-8859-1\"?><a/>", qp::kCodePageUtf8);
    EXPECT_EQ(detectEncoding(source), qp::kCodePageUtf8);
    EXPECT_EQ(source.codePage(), qp::kCodePageUtf8);
    qp::String utf16(u"<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>");
    EXPECT_EQ(detectEncoding(utf16), qp::kCodePageUtf16);
}

TEST(EncodingDetection, XmlDeclarationEncodingComesFirst) {
    qp::String source =
        unknown("<?xml version='1.0' encoding='ISO-8859-2'?><html><meta http-equiv=a content='charset=utf-8'></html>");
    EXPECT_EQ(detectEncoding(source), 28592);
}

TEST(EncodingDetection, UnsupportedDeclarationTriesTheMetaNext) {
    qptest::MessageRecorder recorder;
    qp::String source =
        unknown("<?xml version=\"1.0\" encoding=\"klingon\"?><meta http-equiv=a content=\"charset=koi8-r\">");
    source.messages = &recorder;
    EXPECT_EQ(detectEncoding(source), 20866);
    ASSERT_EQ(recorder.texts().size(), 1u);
    EXPECT_EQ(recorder.texts()[0], "Warning(parsing): Found an unsupported text encoding.");
}

TEST(EncodingDetection, UnsupportedEverywhereButDeclaredXmlIsUtf8) {
    qp::String source = unknown("<?xml version=\"1.0\" encoding=\"klingon\"?><a/>");
    EXPECT_EQ(detectEncoding(source), qp::kCodePageUtf8);
    EXPECT_EQ(source.lastWarning, qp::WarningCode::UnsupportedEncoding);
}

TEST(EncodingDetection, MetaNeedsBothHttpEquivAndContent) {
    qp::String onlyContent = unknown("<meta content=\"charset=utf-8\"><p>x</p>");
    EXPECT_EQ(detectEncoding(onlyContent), qp::kCodePageSystemDefault);
    qp::String secondMeta = unknown(
        "<META HTTP-EQUIV=x><meta content=\"charset=big5\"><meta http-equiv=y content=\"text/html;charset=big5\">");
    EXPECT_EQ(detectEncoding(secondMeta), 950);
}

TEST(EncodingDetection, PlainHtmlGetsTheAnsiCodePage) {
    qp::String source = unknown("<html><body><p>caf\xe9</p></body></html>");
    EXPECT_EQ(detectEncoding(source), qp::kCodePageSystemDefault);
}

TEST(EncodingDetection, ScriptPageTakesItsCodepage) {
    qp::String source = unknown("<%@ Language=JavaScript CODEPAGE=65001 %>\n<?xml encoding='big5'?>");
    EXPECT_EQ(detectEncoding(source), qp::kCodePageUtf8);
    qp::String secondLine = unknown("<%@ Language=JavaScript %>\nCodepage=932");
    EXPECT_EQ(detectEncoding(secondLine), qp::kCodePageSystemDefault);
}

TEST(EncodingDetection, KeywordValueTokens) {
    std::string_view value;
    EXPECT_TRUE(qp::findKeywordValue("text/html; charset = \"utf-8\"", "CHARSET", value));
    EXPECT_EQ(value, "utf-8");
    EXPECT_TRUE(qp::findKeywordValue("?xml version='1.0' encoding=ascii?", "encoding", value));
    EXPECT_EQ(value, "ascii");
    EXPECT_TRUE(qp::findKeywordValue("text/html; charset=; x=y", "charset", value));
    EXPECT_EQ(value, "");
    EXPECT_FALSE(qp::findKeywordValue("text/html; charset utf-8", "charset", value));
    EXPECT_FALSE(qp::findKeywordValue("mycharset=utf-8", "charset", value));
}

}  // namespace
