// SPDX-License-Identifier: GPL-3.0-or-later
// Inputs at and past the program's limits: deep nesting, huge names and attribute values, images whose
// declared size is past the pixel cap, media files past the size cap, very many manifest items. Each either
// builds or ends with a message; none exhausts the stack or the memory, and none leaves anything behind.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>

#include <zlib.h>

#include "build_fixture.h"

namespace {

namespace fs = std::filesystem;

using buildtest::BuildTest;
using buildtest::dcMetadata;
using buildtest::htmlPage;
using buildtest::package;

std::string bigEndian32(uint32_t value) {
    return {static_cast<char>(value >> 24), static_cast<char>(value >> 16), static_cast<char>(value >> 8),
            static_cast<char>(value)};
}

std::string pngChunk(const std::string& type, const std::string& data) {
    const std::string typed = type + data;
    const auto crc =
        static_cast<uint32_t>(crc32(0, reinterpret_cast<const Bytef*>(typed.data()), static_cast<uInt>(typed.size())));
    return bigEndian32(static_cast<uint32_t>(data.size())) + typed + bigEndian32(crc);
}

// A truecolour PNG that declares the given size; its image data holds only a few rows' worth of bytes.
std::string pngDeclaring(uint32_t width, uint32_t height) {
    const std::string header = bigEndian32(width) + bigEndian32(height) + std::string("\x08\x02\x00\x00\x00", 5);
    const std::string zeros(4096, '\0');
    uLongf size = compressBound(zeros.size());
    std::string deflated(size, '\0');
    compress(reinterpret_cast<Bytef*>(deflated.data()), &size, reinterpret_cast<const Bytef*>(zeros.data()),
             zeros.size());
    deflated.resize(size);
    return std::string("\x89PNG\r\n\x1a\n", 8) + pngChunk("IHDR", header) + pngChunk("IDAT", deflated) +
           pngChunk("IEND", "");
}

class LimitBuild : public BuildTest {
protected:
    // The run ended normally (not killed by a signal) with a book or with a clean refusal.
    void expectBookOrRefusal(const qptest::RunResult& result, const std::string& book) {
        ASSERT_GE(result.exitCode, 0) << "the compiler was killed\n" << result.err.substr(0, 4000);
        if (result.exitCode == 2) {
            EXPECT_NE(result.out.find("Error("), std::string::npos) << result.out;
            EXPECT_FALSE(exists(book));
        } else {
            const kova::Book built = this->book(book);
            EXPECT_TRUE(built.sound()) << built.loadError();
        }
        EXPECT_TRUE(temporaryDirectoryEmpty());
    }
};

TEST_F(LimitBuild, HundredThousandNestedDivisions) {
    constexpr int kDepth = 100'000;
    std::string body;
    for (int i = 0; i < kDepth; ++i) body += "<div>";
    body += "innermost words";
    for (int i = 0; i < kDepth; ++i) body += "</div>";
    write("deep.html", htmlPage(body));
    auto result = compile({"deep.html"});
    expectBookOrRefusal(result, "deep.kova");
    ASSERT_NE(result.exitCode, 2) << result.out;
    EXPECT_NE(book("deep.kova").textString().find("innermost words"), std::string::npos);
}

TEST_F(LimitBuild, UnclosedNestingInsideTablesAndLists) {
    std::string body;
    for (int i = 0; i < 20'000; ++i) body += "<table><tr><td><ul><li><span style=\"font-weight:bold\">";
    body += "bottom";
    write("open.html", htmlPage(body));
    expectBookOrRefusal(compile({"open.html"}), "open.kova");
}

TEST_F(LimitBuild, HugeNamesAndAttributeValues) {
    const std::string name(256 << 10, 'n');
    const std::string value(4 << 20, 'v');
    write("long.html", htmlPage("<" + name + " " + name + "=\"x\">a</" + name + "><p title=\"" + value + "\" id=\"" +
                                value.substr(0, 256 << 10) + "\">words</p><a href=\"#" + value.substr(0, 256 << 10) +
                                "\">link</a>"));
    auto result = compile({"long.html"});
    expectBookOrRefusal(result, "long.kova");
    ASSERT_NE(result.exitCode, 2) << result.out;
    EXPECT_NE(book("long.kova").textString().find("words"), std::string::npos);
}

TEST_F(LimitBuild, ImagesPastThePixelCapAreRefusedWithoutDecoding) {
    write("huge.png", pngDeclaring(200'000, 100'000));
    write("wide.png", pngDeclaring(1'000'000, 1));
    write("page.html", htmlPage("<p>before</p><img src=\"huge.png\"/><img src=\"wide.png\"/><p>after</p>"));
    auto result = compile({"page.html"});
    expectBookOrRefusal(result, "page.kova");
    ASSERT_EQ(result.exitCode, 1) << result.out;
    EXPECT_NE(result.out.find("huge.png"), std::string::npos) << result.out;
    EXPECT_NE(result.out.find("wide.png"), std::string::npos) << result.out;
    EXPECT_NE(book("page.kova").textString().find("after"), std::string::npos);
}

TEST_F(LimitBuild, MediaFilePastTheSizeCap) {
    write("page.html", htmlPage("<p>before</p><img src=\"vast.gif\"/><p>after</p>"));
    {
        qptest::writeFile(dir / "vast.gif", "GIF89a");
        fs::resize_file(dir / "vast.gif", (256ull << 20) + 1);  // sparse: no disk space is taken
    }
    auto result = compile({"page.html"});
    expectBookOrRefusal(result, "page.kova");
    ASSERT_EQ(result.exitCode, 1) << result.out;
    EXPECT_NE(result.out.find("vast.gif"), std::string::npos) << result.out;
}

TEST_F(LimitBuild, FiftyThousandManifestItems) {
    write("one.html", htmlPage("<p>the only chapter</p>"));
    std::string items = "<item id=\"one\" href=\"one.html\" media-type=\"text/x-oeb1-document\"/>";
    for (int i = 0; i < 50'000; ++i) {
        items += "<item id=\"extra" + std::to_string(i) + "\" href=\"extra" + std::to_string(i) +
                 ".html\" media-type=\"text/x-oeb1-document\"/>";
    }
    write("book.opf", package(dcMetadata("<dc:Title>Many</dc:Title><dc:Language>en</dc:Language>"), items,
                              "<itemref idref=\"one\"/>"));
    auto result = compile({"book.opf"});
    expectBookOrRefusal(result, "book.kova");
    ASSERT_NE(result.exitCode, 2) << result.out;
    EXPECT_NE(book("book.kova").textString().find("the only chapter"), std::string::npos);
}

}  // namespace
