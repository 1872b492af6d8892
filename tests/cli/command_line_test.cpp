// SPDX-License-Identifier: GPL-3.0-or-later
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

TEST(SourcePath, MadeAbsoluteWithDotStepsResolved) {
    const std::string cwd = std::filesystem::current_path().string();
    EXPECT_EQ(qp::absoluteSourcePath("book.opf"), cwd + "/book.opf");
    EXPECT_EQ(qp::absoluteSourcePath("a/../b/./book.opf"), cwd + "/b/book.opf");
    EXPECT_EQ(qp::absoluteSourcePath("/x/y/../z.html"), "/x/z.html");
    const std::string deep = "/" + std::string(600, 'd') + "/./book.opf";
    EXPECT_EQ(qp::absoluteSourcePath(deep), deep);
}

TEST(SourceLookup, AnExistingNameWinsOverItsReadingAsAPattern) {
    qptest::TempDir dir;
    qptest::writeFile(dir / "Notes.txt", "x");
    qptest::writeFile(dir / "b.opf", "x");
    qptest::writeFile(dir / "a.opf", "x");
    qptest::writeFile(dir / "my book [v2].opf", "x");
    qptest::writeFile(dir / "my book v.opf", "x");
    std::filesystem::create_directories(dir / "old" / "sub.opf");
    qptest::writeFile(dir / "old" / "book.opf", "x");
    const std::string base = dir.path().string();
    const struct {
        std::string argument;
        std::optional<std::string> found;
    } cases[] = {
        {base + "/N*.txt", base + "/Notes.txt"},
        {base + "/*.opf", base + "/a.opf"},
        {base + "\\b.opf", base + "/b.opf"},
        {base + "/my book [v2].opf", base + "/my book [v2].opf"},
        {base + "/ol*/book.opf", base + "/old/book.opf"},
        {base + "/old/*.opf", base + "/old/book.opf"},
        {base + "/old", base + "/old"},
        {base + "/notes.txt", std::nullopt},
        {base + "/*.epub", std::nullopt},
        {base + "/x*/book.opf", std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(qp::findSourcePath(c.argument), c.found) << c.argument;
}

}  // namespace
