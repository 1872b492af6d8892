// SPDX-License-Identifier: GPL-3.0-or-later
// Style sheets of the head and body reaching the book text through the serializer's hooks.
#include "converter_fixture.h"

namespace {

TEST_F(ConverterTest, HeadSheetsWrapElementsAndAnchorsStandAfterThePageBreak) {
    writeContent("book.css", "h1 { page-break-before: always }");
    ASSERT_TRUE(convert("a.html",
                        "<html><head><link rel=\"stylesheet\" type=\"text/css\" href=\"book.css\"/>"
                        "<style>span { font-weight: bold }</style></head>"
                        "<body><h1 id=\"c1\">T</h1><span>b</span></body></html>",
                        false));
    EXPECT_EQ(text(), "<tqp:pagebreak/><h1>T</h1><span><b>b</b></span> ");
    // The link opens the page that starts with the heading, not the end of the page before the break.
    EXPECT_EQ(links.resolve(path("a.html"), "#c1"), std::optional<uint64_t>(16));
}

TEST_F(ConverterTest, BodyStyleElementAppliesToWhatFollowsAndWritesNothing) {
    ASSERT_TRUE(
        convert("a.html", "<body><i>x</i><style>i { text-decoration: underline }</style><i>y</i></body>", false));
    EXPECT_EQ(text(), "<i>x</i><i><u>y</u></i> ");
}

TEST_F(ConverterTest, MissingLinkedSheetIsErrorButTheFileIsConverted) {
    ASSERT_TRUE(convert(
        "a.html", "<head><link rel=\"stylesheet\" type=\"text/css\" href=\"gone.css\"></head><body>x</body>", false));
    EXPECT_EQ(faults.lastError, qp::ErrorCode::CssFileNotFound);
    EXPECT_EQ(text(), "<a/>x ");
}

}  // namespace
