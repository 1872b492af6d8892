// SPDX-License-Identifier: GPL-3.0-or-later
// Dictionaries written to break the index stage end with its messages, or with warnings and a sound book.
#include <gtest/gtest.h>

#include "build_fixture.h"

namespace {

class HostileDictionary : public buildtest::BuildTest {
protected:
    qptest::RunResult buildBody(const std::string& body) {
        write("d.html", buildtest::htmlPage(body));
        write("d.opf", buildtest::package(buildtest::dcMetadata("<dc:Title>D</dc:Title><dc:Language>en</dc:Language>"),
                                          "<item id=\"d\" href=\"d.html\" media-type=\"text/x-oeb1-document\"/>",
                                          "<itemref idref=\"d\"/>"));
        return compile({"d.opf"});
    }

    static std::string entry(const std::string& word, const std::string& inner = "",
                             const std::string& attributes = "") {
        return "<idx:entry name=\"m\"" + attributes + "><idx:orth>" + word + "</idx:orth> text" + inner +
               "</idx:entry>";
    }
};

struct HostileCase {
    const char* what;
    std::string body;
    int exitCode;
    const char* message;
};

class HostileDictionaries : public HostileDictionary, public ::testing::WithParamInterface<HostileCase> {};

std::string repeated(const std::string& unit, size_t count) {
    std::string text;
    for (size_t i = 0; i < count; ++i) text += unit;
    return text;
}

std::string properties(size_t count) {
    std::string text;
    for (size_t i = 0; i < count; ++i) text += "<idx:string name=\"p" + std::to_string(i) + "\" value=\"v\"/>";
    return text;
}

TEST_P(HostileDictionaries, EndWithTheirMessage) {
    const HostileCase& hostile = GetParam();
    const auto run = buildBody(hostile.body);
    EXPECT_EQ(run.exitCode, hostile.exitCode) << hostile.what;
    EXPECT_NE(run.out.find(hostile.message), std::string::npos) << hostile.what << "\n" << run.out.substr(0, 2000);
    if (hostile.exitCode == 2) {
        EXPECT_FALSE(exists("d.kova")) << hostile.what;
    } else {
        EXPECT_TRUE(book("d.kova").sound()) << hostile.what;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HostileDictionaries,
    ::testing::Values(
        HostileCase{"duplicate ids",
                    "<idx:entry name=\"m\" id=\"x\"><idx:orth>a</idx:orth></idx:entry>"
                    "<idx:entry name=\"m\" id=\"x\"><idx:orth>b</idx:orth></idx:entry>",
                    2, "Error(mkbook): Two <idx:entry> tags cannot have the same id."},
        HostileCase{"external subentry without extends", "<idx:ext-subentry name=\"e\">x</idx:ext-subentry>", 2,
                    "Error(mkbook): Mandatory \"extends\" attribute missing."},
        HostileCase{"40 property names",
                    "<idx:entry name=\"m\"><idx:orth>a</idx:orth>" + properties(40) + "</idx:entry>", 2,
                    "Error(mkbook): property limit reached"},
        HostileCase{"a key of 10,000 characters",
                    "<idx:entry name=\"m\"><idx:orth>" + std::string(10000, 'k') + "</idx:orth></idx:entry>", 1,
                    "Warning(index build): string too long (max=255). Truncated."},
        HostileCase{"70,000 entries under one headword",
                    repeated("<idx:entry name=\"m\"><idx:orth>same</idx:orth>x</idx:entry>", 70000), 2,
                    "Error(index build): single entry exceeds record size"},
        HostileCase{"entries nested 10,000 deep",
                    repeated("<idx:entry name=\"m\"><idx:orth>w</idx:orth>", 10000) + repeated("</idx:entry>", 10000),
                    0, "KOVA File successfully generated!"}));

TEST_F(HostileDictionary, DefaultLookupIndexThatIsEmptyIsNotTaken) {
    write("d.html", buildtest::htmlPage(entry("word") + "<idx:entry name=\"empty\"></idx:entry>"));
    write("d.opf", buildtest::package(buildtest::dcMetadata("<dc:Title>D</dc:Title><dc:Language>en</dc:Language>",
                                                            "<DefaultLookupIndex>empty</DefaultLookupIndex>"),
                                      "<item id=\"d\" href=\"d.html\" media-type=\"text/x-oeb1-document\"/>",
                                      "<itemref idref=\"d\"/>"));
    const auto run = compile({"d.opf"});
    EXPECT_EQ(run.exitCode, 1) << run.out;
    EXPECT_NE(run.out.find("Warning(index build): This index is empty and has been skipped."), std::string::npos);
    EXPECT_NE(run.out.find("Warning(mkbook): The default lookup index you specified was not found:  empty"),
              std::string::npos)
        << run.out;
    const kova::Book book = this->book("d.kova");
    const kova::BookIndex* orthographic = book.indexAt(book.kova().orthographicIndex);
    ASSERT_TRUE(orthographic);
    EXPECT_EQ(orthographic->nameText(), "m");
}

}  // namespace
