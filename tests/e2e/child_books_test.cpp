// SPDX-License-Identifier: GPL-3.0-or-later
// Child documents: manifest items marked "merge-into" or "merge-into-key" are built as books of their own and
// carried, record for record, behind the book that names them.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "build_fixture.h"
#include "merged_books.h"

namespace {

using buildtest::dcMetadata;
using buildtest::htmlPage;
using buildtest::package;

class ChildBooks : public buildtest::BuildTest {
protected:
    void SetUp() override {
        BuildTest::SetUp();
        write("main.html", htmlPage("<p>Parent text.</p>"));
        write("child/c.html", htmlPage("<p>Child text.</p>"));
        write("child/child.opf", package(dcMetadata("<dc:Title>Child Book</dc:Title><dc:Language>en</dc:Language>"),
                                         "<item id=\"c\" href=\"c.html\" media-type=\"text/x-oeb1-document\"/>",
                                         "<itemref idref=\"c\"/>"));
        write("note.html", htmlPage("<p>A note.</p>", "<title>Note</title>"));
    }
    // book.opf with main.html as its page and the given further items; main.html and `spine` in the spine.
    qptest::RunResult compileParent(const std::string& items, const std::string& spine = "") {
        write("book.opf", package(dcMetadata("<dc:Title>Parent</dc:Title><dc:Language>en</dc:Language>"),
                                  "<item id=\"m\" href=\"main.html\" media-type=\"text/x-oeb1-document\"/>" + items,
                                  "<itemref idref=\"m\"/>" + spine));
        return compile({"book.opf"});
    }
};

const std::string kChildPackage =
    "<item id=\"k\" href=\"child/child.opf\" media-type=\"application/oebps-package+xml\" merge-into-key=\"one\"/>";
const std::string kChildPage =
    "<item id=\"n\" href=\"note.html\" media-type=\"text/x-oeb1-document\" merge-into=\"notes\"/>";

TEST_F(ChildBooks, PackageAndPageChildrenAreCarriedAsWholeBooksInManifestOrder) {
    // A child listed in the spine is still a child, not a page of the parent's text.
    auto result = compileParent(kChildPackage + kChildPage, "<itemref idref=\"n\"/>");
    ASSERT_EQ(result.exitCode, 0) << result.out;
    kova::Book book = this->book("book.kova");
    ASSERT_TRUE(book.sound()) << book.faults().front();
    EXPECT_EQ(book.textString().find("A note."), std::string::npos);
    std::vector<std::string> faults;
    const std::vector<kova::MergedBook> children = kova::readMergedBooks(book, faults);
    EXPECT_TRUE(faults.empty());
    ASSERT_EQ(children.size(), 2u);
    EXPECT_EQ(book.kova().firstMergedRecord, children[0].firstRecord);
    EXPECT_EQ(book.kova().mergedRecordCount, children[0].recordCount + children[1].recordCount);
    EXPECT_EQ(children[1].firstRecord, children[0].firstRecord + children[0].recordCount);
    EXPECT_EQ(children[0].book.fullName(), "Child Book");
    EXPECT_NE(children[0].book.textString().find("Child text."), std::string::npos);
    EXPECT_EQ(children[1].book.fullName(), "Note");
    EXPECT_TRUE(children[1].book.sound());
    EXPECT_TRUE(qptest::tempEntries("quillpress-children-").empty());
}

TEST_F(ChildBooks, ABookWithoutChildrenMergesNothing) {
    ASSERT_EQ(compileParent("").exitCode, 0);
    EXPECT_EQ(book("book.kova").kova().firstMergedRecord, 0xFFFFFFFFu);
    EXPECT_EQ(book("book.kova").kova().mergedRecordCount, 0u);
}

TEST_F(ChildBooks, AChildThatCannotBeBuiltFailsTheBookAndNamesTheChild) {
    write("nobody.html", "<html><head><title>x</title></head></html>");
    write("loop/loop.opf", package(dcMetadata("<dc:Title>Loop</dc:Title><dc:Language>en</dc:Language>"),
                                   "<item id=\"p\" href=\"../book.opf\" media-type=\"application/oebps-package+xml\" "
                                   "merge-into=\"parent\"/>",
                                   ""));
    const struct {
        std::string items;
        std::string cause;
        std::string child;
    } cases[] = {
        {"<item id=\"x\" href=\"absent.opf\" media-type=\"application/oebps-package+xml\" merge-into=\"x\"/>",
         "Error(mkbook): Could not open child file (has it been built?).", "absent.opf"},
        {kChildPage + "<item id=\"y\" href=\"child/c.html\" media-type=\"text/x-oeb1-document\" merge-into=\"notes\"/>",
         "Error(mkbook): A child document wth the same ID already encountered previously.", "child/c.html"},
        {"<item id=\"z\" href=\"nobody.html\" media-type=\"text/x-oeb1-document\" merge-into=\"z\"/>",
         "Error(htmlparser): No BODY tag found in content file.", "nobody.html"},
        {"<item id=\"l\" href=\"loop/loop.opf\" media-type=\"application/oebps-package+xml\" merge-into=\"l\"/>",
         "Reason: the child is a book it is part of", "book.opf"},
    };
    for (const auto& c : cases) {
        auto result = compileParent(c.items);
        EXPECT_EQ(result.exitCode, 2) << result.out;
        EXPECT_NE(result.out.find(c.cause), std::string::npos) << result.out;
        EXPECT_NE(result.out.find("Error(mkbook): Failed merging child document:\n      in file: " +
                                  (dir / "loop" / ".." / c.child).lexically_normal().string()),
                  std::string::npos)
            << result.out;
        EXPECT_FALSE(std::filesystem::exists(dir / "book.kova"));
    }
    EXPECT_TRUE(qptest::tempEntries("quillpress-children-").empty());
}

}  // namespace
