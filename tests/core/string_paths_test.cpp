// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "core/string.h"

namespace {

using qp::String;

String latin(const char* text) { return String(text, 1252); }

TEST(StringPath, DirectoryPartKeepsTheLastSeparator) {
    EXPECT_TRUE(latin("book.opf").directoryPart().empty());
    EXPECT_EQ(latin("a\\b/c.html").directoryPart().bytes(), "a\\b/");
    EXPECT_EQ(latin("a/b\\c.html").directoryPart().bytes(), "a/b\\");
    EXPECT_EQ(latin("/c.html").directoryPart().bytes(), "/");
    EXPECT_EQ(latin("book.opf").directoryPart().codePage(), 1252);
}

TEST(StringPath, FileNameAndExtension) {
    String path = latin("dir.v2/sub\\archive.tar.gz");
    EXPECT_EQ(path.fileNamePart().bytes(), "archive.tar.gz");
    EXPECT_EQ(path.extension().bytes(), "gz");

    String bare = latin("dir.v2/README");
    EXPECT_TRUE(bare.extension().empty());
    EXPECT_EQ(latin("plain").fileNamePart().bytes(), "plain");
    EXPECT_TRUE(latin("dir/").fileNamePart().empty());
}

TEST(StringPath, PartsOfUtf16Paths) {
    String path(u"r\u00E9p/\u65E5.xhtml");
    EXPECT_EQ(path.directoryPart().toUtf16(), u"r\u00E9p/");
    EXPECT_EQ(path.extension().toUtf16(), u"xhtml");
}

TEST(StringPath, MakeAbsoluteNormalisesAgainstTheWorkingDirectory) {
    String path = latin("sub/../book.opf");
    ASSERT_TRUE(path.makeAbsolute());
    EXPECT_EQ(path.codePage(), 65002);
    std::filesystem::path expected = std::filesystem::current_path() / "book.opf";
    EXPECT_EQ(path.toUtf8(), expected.lexically_normal().string());

    String backslashed = latin("\\tmp\\x\\..\\y.html");
    ASSERT_TRUE(backslashed.makeAbsolute());
    EXPECT_EQ(backslashed.toUtf8(), "/tmp/y.html");
}

TEST(StringPath, MakeAbsoluteRefusesOverlongResultsAndEmptyPaths) {
    String longPath(std::string("/") + std::string(600, 'a'), 1252);
    EXPECT_FALSE(longPath.makeAbsolute());
    EXPECT_EQ(longPath.codePage(), 1252);
    EXPECT_EQ(longPath.length(), 601u);

    String limit(std::string("/") + std::string(518, 'b'), 1252);  // 519 characters
    EXPECT_TRUE(limit.makeAbsolute());
    String over(std::string("/") + std::string(519, 'b'), 1252);
    EXPECT_FALSE(over.makeAbsolute());

    String empty;
    EXPECT_FALSE(empty.makeAbsolute());
}

}  // namespace
