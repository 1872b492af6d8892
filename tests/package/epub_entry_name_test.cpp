// SPDX-License-Identifier: GPL-3.0-or-later
#include "package/epub_entry_name.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using qp::EntryNameVerdict;
using qp::parseEntryName;
using Steps = std::vector<std::string>;

TEST(EpubEntryName, RelativeNamesKeepTheirSteps) {
    auto name = parseEntryName("OEBPS/Text/chapter1.xhtml", false);
    EXPECT_EQ(name.verdict, EntryNameVerdict::Accepted);
    EXPECT_EQ(name.components, (Steps{"OEBPS", "Text", "chapter1.xhtml"}));
    EXPECT_EQ(name.relativePath(), "OEBPS/Text/chapter1.xhtml");
    EXPECT_EQ(name.fileName(), "chapter1.xhtml");
    EXPECT_FALSE(name.directory);
}

TEST(EpubEntryName, BackslashesSeparateAndEmptyOrDotStepsVanish) {
    EXPECT_EQ(parseEntryName("a\\b\\c.html", false).components, (Steps{"a", "b", "c.html"}));
    EXPECT_EQ(parseEntryName("a/./b//c.html", false).components, (Steps{"a", "b", "c.html"}));
    auto directory = parseEntryName("images/", false);
    EXPECT_TRUE(directory.directory);
    EXPECT_EQ(directory.components, (Steps{"images"}));
}

TEST(EpubEntryName, DotDotInsideTheTreeIsFollowed) {
    auto name = parseEntryName("a/b/../../c.opf", false);
    EXPECT_EQ(name.verdict, EntryNameVerdict::Accepted);
    EXPECT_EQ(name.components, (Steps{"c.opf"}));
}

TEST(EpubEntryName, NamesLeavingTheDirectoryAreRefused) {
    EXPECT_EQ(parseEntryName("../evil.txt", false).verdict, EntryNameVerdict::EscapesDirectory);
    EXPECT_EQ(parseEntryName("../../evil.txt", false).verdict, EntryNameVerdict::EscapesDirectory);
    EXPECT_EQ(parseEntryName("a/../../evil.txt", false).verdict, EntryNameVerdict::EscapesDirectory);
    EXPECT_EQ(parseEntryName("a\\..\\..\\evil.txt", false).verdict, EntryNameVerdict::EscapesDirectory);
    EXPECT_EQ(parseEntryName("/tmp/evil.txt", false).verdict, EntryNameVerdict::Absolute);
    EXPECT_EQ(parseEntryName("\\evil.txt", false).verdict, EntryNameVerdict::Absolute);
    EXPECT_EQ(parseEntryName("C:evil.txt", false).verdict, EntryNameVerdict::DriveLetter);
    EXPECT_EQ(parseEntryName("c:/evil.txt", false).verdict, EntryNameVerdict::DriveLetter);
    EXPECT_TRUE(parseEntryName("../evil.txt", false).components.empty());
}

TEST(EpubEntryName, NamesWithoutStepsAreEmpty) {
    EXPECT_EQ(parseEntryName("", false).verdict, EntryNameVerdict::Empty);
    EXPECT_EQ(parseEntryName("./", false).verdict, EntryNameVerdict::Empty);
    EXPECT_EQ(parseEntryName("a/..", false).verdict, EntryNameVerdict::Empty);
}

TEST(EpubEntryName, NamesWithoutTheUtf8FlagAreCodePage437) {
    // 0x82 is e acute and 0x81 u umlaut in code page 437; 0xE1 is sharp s.
    auto name = parseEntryName("caf\x82/\x81"
                               "ber-gro\xE1.html",
                               false);
    EXPECT_EQ(name.relativePath(), "caf\xC3\xA9/\xC3\xBC"
                                   "ber-gro\xC3\x9F.html");
}

TEST(EpubEntryName, Utf8NamesStayAndBrokenSequencesBecomeReplacementCharacters) {
    EXPECT_EQ(parseEntryName("caf\xC3\xA9.html", true).relativePath(), "caf\xC3\xA9.html");
    EXPECT_EQ(parseEntryName("a\xFF.html", true).relativePath(), "a\xEF\xBF\xBD.html");
}

TEST(EpubEntryName, ControlCharactersAreReplaced) {
    auto name = parseEntryName("a\x01"
                               "b/c\td.html",
                               false);
    EXPECT_EQ(name.components, (Steps{"a_b", "c_d.html"}));
    EXPECT_EQ(name.display, "a?b/c?d.html");
}

}  // namespace
