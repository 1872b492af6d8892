// SPDX-License-Identifier: GPL-3.0-or-later
// Links across the three chapters of the sample book, built once as Western (1252) text and once as UTF-8:
// every link must land where its target begins, whatever the byte width of the text before it.
#include <gtest/gtest.h>

#include <string>

#include "build_fixture.h"

namespace {

namespace fs = std::filesystem;

class LinkPosition : public buildtest::BuildTest, public ::testing::WithParamInterface<std::string> {
protected:
    // Compiles the sample with the given output encoding and returns its text.
    std::string compileSample(const std::string& encoding) {
        fs::copy(QP_EXAMPLES_DIR "/lighthouse", dir / "lighthouse", fs::copy_options::recursive);
        std::string opf = qptest::readFile(dir / "lighthouse/lighthouse.opf");
        const std::string declared = "encoding=\"utf-8\" content-type";
        opf.replace(opf.find(declared), declared.size(), "encoding=\"" + encoding + "\" content-type");
        qptest::writeFile(dir / "lighthouse/lighthouse.opf", opf);
        auto result = compile({"lighthouse/lighthouse.opf"});
        EXPECT_EQ(result.exitCode, 0) << result.out;
        kova::Book book = this->book("lighthouse/lighthouse.kova");
        EXPECT_TRUE(book.sound()) << book.loadError();
        codePage_ = book.kova().textEncoding;
        return book.textString();
    }

    // The position the link ending in `linkEnd` points at.
    static size_t targetOf(const std::string& text, const std::string& linkEnd) {
        const size_t link = text.rfind("filepos=", text.find(linkEnd));
        return std::stoul(text.substr(link + 8, 10));
    }

    uint32_t codePage_ = 0;
};

TEST_P(LinkPosition, LinksLandOnTheirTargetsInEitherEncoding) {
    const std::string text = compileSample(GetParam());
    EXPECT_EQ(codePage_, GetParam() == "utf-8" ? 65001u : 1252u);
    // The French chapter before the last links holds characters of two bytes in UTF-8 and one in 1252.
    const std::string elodie = GetParam() == "utf-8" ? "\xC3\x89lodie" : "\xC9lodie";
    ASSERT_NE(text.find(elodie), std::string::npos);

    // With a fragment: the element carrying the id.
    EXPECT_EQ(text.compare(targetOf(text, "visitors</a>"), 3, "<p "), 0);
    EXPECT_EQ(text.compare(targetOf(text, "letter</a>"), 5, "<div "), 0);
    const size_t letter = targetOf(text, "letter</a>");
    EXPECT_LT(text.find("Mon cher fr", letter), letter + 80);
    const size_t contents = targetOf(text, "contents</a>");
    EXPECT_LT(text.find(">Contents<", contents), contents + 120);

    // Without a fragment: the start of the named file's text, before its first tag.
    const size_t chapterThree = targetOf(text, "3. Une lettre de Brest</a>");
    const size_t firstTag = text.find_first_not_of(" \r\n", chapterThree);
    EXPECT_EQ(text[firstTag], '<');
    EXPECT_LT(text.find("3. Une lettre de Brest</font></h1>", chapterThree),
              text.find("In October a letter", chapterThree));
    EXPECT_GT(chapterThree, targetOf(text, "visitors</a>"));
}

INSTANTIATE_TEST_SUITE_P(Encodings, LinkPosition, ::testing::Values("windows-1252", "utf-8"),
                         [](const auto& test) { return test.param == "utf-8" ? "Utf8" : "Western"; });

}  // namespace
