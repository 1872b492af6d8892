// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "build_fixture.h"
#include "epub_zip_writer.h"
#include "kova_book.h"
#include "test_support.h"

namespace {

namespace fs = std::filesystem;
using qptest::ZipMember;

std::string containerNaming(const std::string& fullPath) {
    return "<?xml version=\"1.0\"?>\n"
           "<container version=\"1.0\" xmlns=\"urn:oasis:names:tc:opendocument:xmlns:container\">\n"
           "  <rootfiles>\n"
           "    <rootfile full-path=\"" +
           fullPath +
           "\" media-type=\"application/oebps-package+xml\"/>\n"
           "  </rootfiles>\n"
           "</container>\n";
}

// The smallest package the OPF build takes: a title, a language and one content file.
std::string packageOf(const std::string& contentFile) {
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
           "<package unique-identifier=\"uid\">\n"
           "  <metadata><dc-metadata xmlns:dc=\"http://purl.org/metadata/dublin_core\">\n"
           "    <dc:Title>Test</dc:Title><dc:Language>en</dc:Language>\n"
           "  </dc-metadata></metadata>\n"
           "  <manifest><item id=\"t\" href=\"" +
           contentFile +
           "\" media-type=\"text/x-oeb1-document\"/></manifest>\n"
           "  <spine><itemref idref=\"t\"/></spine>\n"
           "</package>\n";
}

std::string pageSaying(const std::string& words) { return "<html><body><p>" + words + "</p></body></html>"; }

const std::string kUnpackError = "Error(mkbook): Could not unpack ePub file";

// Each test has a temporary directory of its own (BuildTest points TMPDIR at it), so that the working
// directories of tests running in parallel are never taken for leftovers.
class EpubBuild : public buildtest::BuildTest {
protected:
    void SetUp() override {
        BuildTest::SetUp();
        before_ = qptest::tempEntries("quillpress-epub-");
    }

    fs::path epub() const { return dir / "book.epub"; }
    fs::path book() const { return dir / "book.kova"; }

    qptest::RunResult build(const std::vector<ZipMember>& members, std::vector<std::string> options = {}) {
        qptest::writeZip(epub(), members);
        options.push_back(epub().string());
        return qptest::runQuillpress(options, dir.path());
    }

    std::vector<std::string> leftovers() const {
        std::vector<std::string> fresh;
        for (const std::string& name : qptest::tempEntries("quillpress-epub-")) {
            if (std::find(before_.begin(), before_.end(), name) == before_.end()) fresh.push_back(name);
        }
        return fresh;
    }

    // A refused or failed build: exit 2, the unpack error naming the ePub and the reason, nothing left over.
    void expectRefused(const qptest::RunResult& result, const std::string& reason) {
        EXPECT_EQ(result.exitCode, 2) << result.out;
        EXPECT_NE(result.out.find(kUnpackError + "\n      in file: " + epub().string() + "\n"), std::string::npos)
            << result.out;
        size_t line = result.out.find("\n      Reason: ");
        ASSERT_NE(line, std::string::npos) << result.out;
        EXPECT_NE(result.out.substr(line, result.out.find('\n', line + 1) - line).find(reason), std::string::npos)
            << result.out;
        EXPECT_FALSE(fs::exists(book()));
        EXPECT_TRUE(leftovers().empty());
    }

    std::vector<std::string> before_;
};

TEST_F(EpubBuild, ContainerNamingASubdirectoryPackageWins) {
    auto result = build({qptest::storedMember("mimetype", "application/epub+zip"),
                         {"META-INF/container.xml", containerNaming("OEBPS/content.opf")},
                         {"OEBPS/content.opf", packageOf("text.html")},
                         {"OEBPS/text.html", pageSaying("Words of the named package")},
                         {"other.opf", packageOf("other.html")},
                         {"other.html", pageSaying("Words of the other package")}});
    ASSERT_LE(result.exitCode, 1) << result.out;
    kova::Book built = kova::Book::fromFile(book());
    ASSERT_TRUE(built.textDecoded());
    EXPECT_NE(built.textString().find("Words of the named package"), std::string::npos);
    EXPECT_EQ(built.textString().find("Words of the other package"), std::string::npos);
    EXPECT_TRUE(leftovers().empty());
}

TEST_F(EpubBuild, WithoutContainerTheOnlyPackageIsBuilt) {
    auto result =
        build({{"content/book.opf", packageOf("page.html")}, {"content/page.html", pageSaying("Only package")}});
    ASSERT_LE(result.exitCode, 1) << result.out;
    EXPECT_NE(kova::Book::fromFile(book()).textString().find("Only package"), std::string::npos);
    EXPECT_TRUE(leftovers().empty());
}

TEST_F(EpubBuild, VerboseRunsSayTheArchiveIsUnpacked) {
    auto quiet = build({{"book.opf", packageOf("page.html")}, {"page.html", pageSaying("x")}});
    EXPECT_EQ(quiet.out.find("Info(mkbook): Unpacking ePub file"), std::string::npos);
    fs::remove(book());
    auto verbose = build({{"book.opf", packageOf("page.html")}, {"page.html", pageSaying("x")}}, {"-verbose"});
    EXPECT_NE(verbose.out.find("Info(mkbook): Unpacking ePub file\n"), std::string::npos) << verbose.out;
}

TEST_F(EpubBuild, DotFilePackageIsNeverBuilt) {
    expectRefused(build({{"._book.opf", packageOf("page.html")}, {"page.html", pageSaying("x")}}),
                  "the archive holds no package (.opf) file");
}

TEST_F(EpubBuild, ArchiveWithoutPackageFails) {
    expectRefused(build({qptest::storedMember("mimetype", "application/epub+zip"), {"page.html", pageSaying("x")}}),
                  "the archive holds no package (.opf) file");
}

TEST_F(EpubBuild, EmptyPackageFails) {
    expectRefused(build({{"META-INF/container.xml", containerNaming("book.opf")}, {"book.opf", ""}}),
                  "the package file \"");
}

TEST_F(EpubBuild, EscapingNamesAreRefusedAndWriteNothingOutside) {
    const std::string escapee = "quillpress-epub-e2e-" + dir.path().filename().string() + ".txt";
    const fs::path outside = fs::temp_directory_path() / escapee;
    expectRefused(
        build({{"book.opf", packageOf("page.html")}, {"page.html", pageSaying("x")}, {"../" + escapee, "evil"}}),
        "entry \"../" + escapee + "\" would be written outside the unpacking directory");
    EXPECT_FALSE(fs::exists(outside));
    expectRefused(build({{"../../" + escapee, "evil"}, {"book.opf", packageOf("page.html")}}),
                  "would be written outside the unpacking directory");
    expectRefused(build({{outside.string(), "evil"}, {"book.opf", packageOf("page.html")}}),
                  "entry \"" + outside.string() + "\" has an absolute path");
    EXPECT_FALSE(fs::exists(outside));
}

TEST_F(EpubBuild, DecompressionBombIsRefused) {
    expectRefused(build({{"book.opf", packageOf("page.html")}, {"zeros.bin", std::string(10 << 20, '\0')}}),
                  "entry \"zeros.bin\" would expand beyond the size bounds (decompression bomb)");
}

// Empty entries take no bytes but an inode each: their number is bounded too, before anything is written.
TEST_F(EpubBuild, ArchiveOfTooManyEntriesIsRefused) {
    std::vector<ZipMember> members = {{"book.opf", packageOf("page.html")}, {"page.html", pageSaying("x")}};
    for (int i = 0; members.size() < 50'001; ++i) members.emplace_back("e/" + std::to_string(i), "");
    expectRefused(build(members), "the archive holds more than 50,000 entries");
}

TEST_F(EpubBuild, DamagedAndForeignFilesAreRefused) {
    qptest::writeZip(epub(), {{"book.opf", packageOf("page.html")}, {"page.html", std::string(40000, 'p')}});
    const std::string whole = qptest::readFile(epub());
    qptest::writeFile(epub(), whole.substr(0, whole.size() - 30));
    expectRefused(qptest::runQuillpress({epub().string()}, dir.path()),
                  "the file is not a zip archive, or it is damaged");

    qptest::writeFile(epub(), "<html><body>An HTML page named as an ePub.</body></html>");
    expectRefused(qptest::runQuillpress({epub().string()}, dir.path()),
                  "the file is not a zip archive, or it is damaged");
}

// The same package, built directly and from an ePub made of it, gives the same book text.
TEST_F(EpubBuild, LighthouseFromAnEpubReadsLikeTheOpf) {
    const fs::path example = fs::path(QP_EXAMPLES_DIR) / "lighthouse";
    const fs::path direct = dir / "direct";
    fs::copy(example, direct, fs::copy_options::recursive);
    auto opfRun = qptest::runQuillpress({(direct / "lighthouse.opf").string()}, direct);
    ASSERT_LE(opfRun.exitCode, 1) << opfRun.out;

    std::vector<ZipMember> members = {qptest::storedMember("mimetype", "application/epub+zip"),
                                      {"META-INF/container.xml", containerNaming("OEBPS/lighthouse.opf")}};
    std::vector<fs::path> files;
    for (const auto& entry : fs::recursive_directory_iterator(example)) {
        if (entry.is_regular_file()) files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    for (const fs::path& file : files) {
        members.emplace_back("OEBPS/" + file.lexically_relative(example).generic_string(), qptest::readFile(file));
    }
    auto epubRun = build(members);
    ASSERT_EQ(epubRun.exitCode, opfRun.exitCode) << epubRun.out;

    kova::Book fromOpf = kova::Book::fromFile(direct / "lighthouse.kova");
    kova::Book fromEpub = kova::Book::fromFile(book());
    ASSERT_TRUE(fromOpf.textDecoded());
    ASSERT_TRUE(fromEpub.textDecoded());
    EXPECT_FALSE(fromOpf.textString().empty());
    EXPECT_EQ(fromEpub.textString(), fromOpf.textString());
    EXPECT_EQ(fromEpub.recordCount(), fromOpf.recordCount());
    EXPECT_TRUE(leftovers().empty());
}

}  // namespace
