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

TEST(StringPath, FileNameExtensionAndBaseName) {
    String path = latin("dir.v2/sub\\archive.tar.gz");
    EXPECT_EQ(path.fileNamePart().bytes(), "archive.tar.gz");
    EXPECT_EQ(path.extension().bytes(), "gz");
    EXPECT_EQ(path.baseName().bytes(), "archive.tar");

    String bare = latin("dir.v2/README");
    EXPECT_TRUE(bare.extension().empty());
    EXPECT_EQ(bare.baseName().bytes(), "README");
    EXPECT_EQ(latin("plain").fileNamePart().bytes(), "plain");
    EXPECT_TRUE(latin("dir/").fileNamePart().empty());
}

TEST(StringPath, PartsWorkOnTheView) {
    String path = latin("x/y/z.html#anchor");
    path.setView(0, 10);
    EXPECT_EQ(path.fileNamePart().bytes(), "z.html");
    EXPECT_EQ(path.extension().bytes(), "html");
    EXPECT_EQ(path.directoryPart().bytes(), "x/y/");
}

TEST(StringPath, PartsOfUtf16Paths) {
    String path(u"r\u00E9p/\u65E5.xhtml");
    EXPECT_EQ(path.directoryPart().toUtf16(), u"r\u00E9p/");
    EXPECT_EQ(path.baseName().toUtf16(), u"\u65E5");
    EXPECT_EQ(path.extension().toUtf16(), u"xhtml");
}

TEST(StringPath, ResolveAppliesParentAndCurrentSteps) {
    String base = latin("/books/text/ch1.html");
    EXPECT_EQ(String::resolvePath(base, latin("ch2.html")).toUtf8(), "/books/text/ch2.html");
    EXPECT_EQ(String::resolvePath(base, latin("../images/a.png")).toUtf8(), "/books/images/a.png");
    EXPECT_EQ(String::resolvePath(base, latin("./.\\b.html")).toUtf8(), "/books/text/b.html");
    EXPECT_EQ(String::resolvePath(base, latin("..\\..\\c.css")).toUtf8(), "/c.css");
    EXPECT_EQ(String::resolvePath(base, latin("../../../c.css")).toUtf8(), "/c.css");
    EXPECT_EQ(String::resolvePath(base, latin("img\\x.gif")).toUtf8(), "/books/text/img/x.gif");
    EXPECT_EQ(String::resolvePath(base, latin("/abs/d.html")).toUtf8(), "/abs/d.html");
}

TEST(StringPath, ResolveAgainstBareOrRelativeBases) {
    EXPECT_EQ(String::resolvePath(latin("book.opf"), latin("c.html")).toUtf8(), "c.html");
    EXPECT_EQ(String::resolvePath(latin(""), latin("./c.html")).toUtf8(), "c.html");
    EXPECT_EQ(String::resolvePath(latin("a/b.opf"), latin("../../c.html")).toUtf8(), "../c.html");
    EXPECT_EQ(String::resolvePath(latin("a\\b.opf"), latin("c.html")).toUtf8(), "a/c.html");
}

TEST(StringPath, ResolveKeepsASharedEncodingAndTheWipeFlag) {
    String base("/d\xC3\xA9/b.opf", 65001);
    String relative("n\xC3\xA9.html", 65001);
    relative.setWipe(true);
    String resolved = String::resolvePath(base, relative);
    EXPECT_EQ(resolved.codePage(), 65001);
    EXPECT_EQ(resolved.bytes(), "/d\xC3\xA9/n\xC3\xA9.html");
    EXPECT_TRUE(resolved.wipe());

    String mixed = String::resolvePath(base, String(u"x.html"));
    EXPECT_EQ(mixed.codePage(), 65002);
    EXPECT_EQ(mixed.toUtf8(), "/d\xC3\xA9/x.html");
    EXPECT_FALSE(mixed.wipe());
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
