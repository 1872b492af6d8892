#include "cli/command_line.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "pipeline/source_builds.h"
#include "test_support.h"

namespace {

using qp::SourceKind;

TEST(SourceKind, ChosenByExtensionIgnoringCase) {
    EXPECT_EQ(qp::sourceKindOf("book.OPF"), SourceKind::Opf);
    EXPECT_EQ(qp::sourceKindOf("/a/b/page.htm"), SourceKind::Html);
    EXPECT_EQ(qp::sourceKindOf("page.Html"), SourceKind::Html);
    EXPECT_EQ(qp::sourceKindOf("novel.ePub"), SourceKind::Epub);
    EXPECT_EQ(qp::sourceKindOf("style.css"), SourceKind::StyleSheet);
    EXPECT_EQ(qp::sourceKindOf("notes.txt"), SourceKind::Unknown);
    EXPECT_EQ(qp::sourceKindOf("README"), SourceKind::Unknown);
    EXPECT_EQ(qp::sourceKindOf("dir.opf/README"), SourceKind::Unknown);
    EXPECT_EQ(qp::sourceKindOf("archive.opf.bak"), SourceKind::Unknown);
}

TEST(OutputPath, DefaultReplacesTheExtensionWithKova) {
    EXPECT_EQ(qp::outputPathFor("/b/book.OPF", ""), "/b/book.kova");
    EXPECT_EQ(qp::outputPathFor("/b/my.book.html", ""), "/b/my.book.kova");
    EXPECT_EQ(qp::outputPathFor("/b.d/README", ""), "/b.d/README.kova");
}

TEST(OutputPath, OutputNameGoesIntoTheSourceDirectory) {
    EXPECT_EQ(qp::outputPathFor("/b/book.opf", "out.kova"), "/b/out.kova");
    EXPECT_EQ(qp::outputPathFor("book.opf", "Out"), "Out");
}

TEST(SourcePath, MadeAbsoluteWithTheNameFoundOnDisk) {
    const std::string cwd = std::filesystem::current_path().string();
    EXPECT_EQ(qp::absoluteSourcePath("book.opf", "Book.opf"), cwd + "/Book.opf");
    EXPECT_EQ(qp::absoluteSourcePath("a/../b/./book.opf", "book.opf"), cwd + "/b/book.opf");
    EXPECT_EQ(qp::absoluteSourcePath("a\\..\\b\\*.opf", "book.opf"), cwd + "/b/book.opf");
    EXPECT_EQ(qp::absoluteSourcePath("/x/y/../z.html", "z.html"), "/x/z.html");
}

TEST(SourcePath, TooLongForTheFullPathKeepsTheArgument) {
    std::string deep = "/" + std::string(600, 'd') + "/book.opf";
    EXPECT_EQ(qp::absoluteSourcePath(deep, "Book.opf"), "/" + std::string(600, 'd') + "/Book.opf");
}

TEST(SourceLookup, WildcardsTakeTheFirstMatchAsStoredOnDisk) {
    qptest::TempDir dir;
    qptest::writeFile(dir / "Notes.txt", "x");
    qptest::writeFile(dir / "b.opf", "x");
    qptest::writeFile(dir / "a.opf", "x");
    const std::string base = dir.path().string();
    EXPECT_EQ(qp::findSourceName(base + "/N*.txt"), "Notes.txt");
    EXPECT_EQ(qp::findSourceName(base + "/*.opf"), "a.opf");
    EXPECT_EQ(qp::findSourceName(base + "\\b.opf"), "b.opf");
    EXPECT_EQ(qp::findSourceName(base + "/notes.txt"), std::nullopt);
    EXPECT_EQ(qp::findSourceName(base + "/*.epub"), std::nullopt);
}

}  // namespace
