#include <gtest/gtest.h>

#include "core/message_sink.h"

namespace {

using qp::MessageSink;

TEST(MessageTables, ErrorSamples) {
    EXPECT_EQ(MessageSink::errorText(1), "Error(core): User canceled action.");
    EXPECT_EQ(MessageSink::errorText(7), "Error(core): Could not access file.");
    EXPECT_EQ(MessageSink::errorText(27), "Error(parsing): End of <![CDATA[ tag not found.");
    EXPECT_EQ(MessageSink::errorText(37), "Error(DTD): Closing of a node is out of order.");
    EXPECT_EQ(MessageSink::errorText(169), "Error(opfparser): No MANIFEST tag found in opf file");
    EXPECT_EQ(MessageSink::errorText(177), "Error(mkbook): CSS file not found");
    EXPECT_EQ(MessageSink::errorText(195),
              "Error(mkbook): Unnamed subentry: <idx:subentry> taggs must have a \"name\" attribute.");
    EXPECT_EQ(MessageSink::errorText(224),
              "Error(mkbook): Too much text in book (limited to 3 993 600 000 uncompressed bytes).");
    EXPECT_EQ(MessageSink::errorText(242),
              "Error(index build): overflowing character table in UNICODE: in indexes, you can use a total of "
              "256 different characters from the following unicode ranges: U+0000-U+02FF(latin), "
              "U+3000-U+30FF(kana), U+FF00-U+FF9F(alt. width latin+kana).");
    EXPECT_EQ(MessageSink::errorText(247),
              "Error(mkbook/compress): Dictionary with too many recursions (input too redundant with \"ab...yz\" "
              "patterns with sliding cut probably).");
    EXPECT_EQ(MessageSink::errorText(249),
              "Error(mkbook/compress): Access to temporary file of computed Huffman codes failed: aborting");
}

TEST(MessageTables, WarningSamples) {
    EXPECT_EQ(MessageSink::warningText(2), "Warning(core): Cannot read past end of string (or before empty string).");
    EXPECT_EQ(MessageSink::warningText(6), "Warning(Storage): Storage trying to allocate ");
    EXPECT_EQ(MessageSink::warningText(8), "Warning(parsing): Attribute has no value.");
    EXPECT_EQ(MessageSink::warningText(12), "Warning(parsing): Found an unsupported text encoding.");
    EXPECT_EQ(MessageSink::warningText(59), "Warning(cssparser): the at rules (starting with @) are ignored");
    EXPECT_EQ(MessageSink::warningText(68), "Warning(mkbook): encountered an empty \"idx:key\" tag.");
    EXPECT_EQ(MessageSink::warningText(79), "Warning(mkbook): Cover file not found : ");
    EXPECT_EQ(MessageSink::warningText(92),
              "Warning(mkbook): only scripts with <script type=\"text/javascript\"> are supported\n");
    EXPECT_EQ(MessageSink::warningText(101),
              "Warning(mkbook): The database name (document identifier) should contain latin alphanumeric "
              "characters only, no spaces and be at most 27 characters long. Altered to:");
    EXPECT_EQ(MessageSink::warningText(119),
              "Warning(index build): language not supported. Using default collating order: english.");
    EXPECT_EQ(MessageSink::warningText(137), "Warning(tavra): Text is using one or more invalid characters");
}

TEST(MessageTables, InfoSamples) {
    EXPECT_EQ(MessageSink::infoText(3), "Info(mkbook): Parsing files");
    EXPECT_EQ(MessageSink::infoText(4), "Info(mkbook): Parsing file");
    EXPECT_EQ(MessageSink::infoText(27), "Info(mkbook): KOVA File successfully generated!");
    EXPECT_EQ(MessageSink::infoText(28), "Info(mkbook): KOVA File generated with WARNINGS!");
    EXPECT_EQ(MessageSink::infoText(29), "Info(mkbook): KOVA File could not be generated because of errors!");
    EXPECT_EQ(MessageSink::infoText(47), "Info(mkbook): Final stats - FRAMES:  ");
    EXPECT_EQ(MessageSink::infoText(53), "Info(mkbook/inflections): Of which rules used only once or twice:   ");
    EXPECT_EQ(MessageSink::infoText(58),
              "Info(mkbook/compress): Compiling source text for compression (4096 passes max). Pass");
    EXPECT_EQ(MessageSink::infoText(64), "Info(mkbook/compress): Compression dictionary statistics:");
}

TEST(MessageTables, CodesWithoutTextAndOutOfRangeAreEmpty) {
    EXPECT_EQ(MessageSink::errorText(0), "");
    EXPECT_EQ(MessageSink::errorText(2), "");
    EXPECT_EQ(MessageSink::errorText(250), "");
    EXPECT_EQ(MessageSink::errorText(285), "");
    EXPECT_EQ(MessageSink::warningText(1), "");
    EXPECT_EQ(MessageSink::warningText(138), "");
    EXPECT_EQ(MessageSink::warningText(500), "");
    EXPECT_EQ(MessageSink::infoText(19), "");
    EXPECT_EQ(MessageSink::infoText(-1), "");
}

// Guards against entries lost in transcription: the tables hold 104 error, 75 warning and 54 info texts
// (the node-request messages among them).
TEST(MessageTables, NumberOfTexts) {
    int errors = 0, warnings = 0, infos = 0;
    for (int code = 0; code <= MessageSink::kLastErrorCode; ++code) errors += !MessageSink::errorText(code).empty();
    for (int code = 0; code <= MessageSink::kLastWarningCode; ++code) warnings += !MessageSink::warningText(code).empty();
    for (int code = 0; code <= MessageSink::kLastInfoCode; ++code) infos += !MessageSink::infoText(code).empty();
    EXPECT_EQ(errors, 105);  // the table's 104 and 180, a book too large for its file format
    EXPECT_EQ(warnings, 75);
    EXPECT_EQ(infos, 54);
}

// Every text starts with its severity and module tag.
TEST(MessageTables, TextsStartWithTheirSeverity) {
    for (int code = 0; code <= MessageSink::kLastErrorCode; ++code) {
        auto text = MessageSink::errorText(code);
        if (!text.empty()) {
            EXPECT_TRUE(text.starts_with("Error(")) << code;
        }
    }
    for (int code = 0; code <= MessageSink::kLastWarningCode; ++code) {
        auto text = MessageSink::warningText(code);
        if (!text.empty()) {
            EXPECT_TRUE(text.starts_with("Warning(")) << code;
        }
    }
    for (int code = 0; code <= MessageSink::kLastInfoCode; ++code) {
        auto text = MessageSink::infoText(code);
        if (!text.empty()) {
            EXPECT_TRUE(text.starts_with("Info(")) << code;
        }
    }
}

}  // namespace
