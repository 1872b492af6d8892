// SPDX-License-Identifier: GPL-3.0-or-later
#include "package/epub_source.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "core/message_sink.h"
#include "epub_zip_writer.h"
#include "test_support.h"

namespace {

namespace fs = std::filesystem;
using qptest::ZipMember;

const std::string kContainerPrefix =
    "<?xml version=\"1.0\"?>\n"
    "<container version=\"1.0\" xmlns=\"urn:oasis:names:tc:opendocument:xmlns:container\">\n"
    "  <rootfiles>\n";

std::string containerNaming(const std::string& fullPath) {
    return kContainerPrefix + "    <rootfile full-path=\"" + fullPath +
           "\" media-type=\"application/oebps-package+xml\"/>\n  </rootfiles>\n</container>\n";
}

const std::string kPackage = "<package><metadata/></package>";

// Each test has a temporary
// directory of its own, so that working directories of tests running in parallel are not taken for leftovers.
class EpubSourceTest : public ::testing::Test {
protected:
    void SetUp() override { before_ = qptest::tempEntries("quillpress-epub-"); }

    fs::path archive(const std::vector<ZipMember>& members) {
        fs::path path = dir / "book.epub";
        qptest::writeZip(path, members);
        return path;
    }

    static qp::String pathString(const fs::path& path) { return qp::String::fromUtf8(path.string()); }

    // Unpacks and gives the package path relative to the working directory ("" on failure).
    std::string unpackedPackage(qp::EpubSource& source, const fs::path& path) {
        if (!source.unpack(pathString(path))) return "";
        return fs::path(source.packagePath().toUtf8()).lexically_relative(source.workingDirectory().toUtf8()).string();
    }

    std::vector<std::string> leftovers() const {
        std::vector<std::string> now = qptest::tempEntries("quillpress-epub-");
        std::vector<std::string> fresh;
        for (const std::string& name : now) {
            if (std::find(before_.begin(), before_.end(), name) == before_.end()) fresh.push_back(name);
        }
        return fresh;
    }

    qptest::TempDir dir;
    qptest::PrivateTemporaryDirectory temporaryDir;
    std::vector<std::string> before_;
};

TEST_F(EpubSourceTest, ContainerNamingASubdirectoryPackageWinsOverAnotherOpf) {
    fs::path path = archive({qptest::storedMember("mimetype", "application/epub+zip"),
                             {"META-INF/container.xml", containerNaming("OEBPS/content.opf")},
                             {"OEBPS/content.opf", kPackage},
                             {"zzz.opf", kPackage}});
    qp::EpubSource source;
    EXPECT_EQ(unpackedPackage(source, path), "OEBPS/content.opf");
    EXPECT_EQ(fs::path(source.packageCandidate().toUtf8()).filename(), "zzz.opf");
    EXPECT_EQ(fs::path(source.containerPath().toUtf8()).filename(), "container.xml");
    EXPECT_EQ(qptest::readFile(source.packagePath().toUtf8()), kPackage);
    EXPECT_EQ(qptest::readFile(fs::path(source.workingDirectory().toUtf8()) / "mimetype"), "application/epub+zip");
}

TEST_F(EpubSourceTest, ContainerIsFoundWithoutRegardToCase) {
    fs::path path = archive({{"meta-inf/CONTAINER.XML", containerNaming("b/second.opf")},
                             {"b/second.opf", kPackage},
                             {"first.opf", kPackage}});
    qp::EpubSource source;
    EXPECT_EQ(unpackedPackage(source, path), "b/second.opf");
}

TEST_F(EpubSourceTest, WithoutContainerTheLastOpfIsTaken) {
    fs::path path = archive({{"one.opf", kPackage}, {"OEBPS/Two.OPF", kPackage}, {"text.html", "<p>x</p>"}});
    qp::EpubSource source;
    EXPECT_EQ(unpackedPackage(source, path), "OEBPS/Two.OPF");
    EXPECT_TRUE(source.containerPath().empty());
}

TEST_F(EpubSourceTest, DotFileOpfIsNeverTheCandidate) {
    qp::EpubSource withReal;
    EXPECT_EQ(unpackedPackage(withReal, archive({{"real.opf", kPackage}, {"._real.opf", kPackage}})), "real.opf");

    qp::EpubSource onlyDotFile;
    EXPECT_FALSE(onlyDotFile.unpack(pathString(archive({{"OEBPS/.hidden.opf", kPackage}}))));
    EXPECT_NE(onlyDotFile.refusal().find("no package"), std::string::npos) << onlyDotFile.refusal();
}

TEST_F(EpubSourceTest, UnusableContainerFallsBackToTheCandidate) {
    const std::vector<std::string> containers = {
        containerNaming("OEBPS/missing.opf"),
        containerNaming("../outside.opf"),
        containerNaming("empty.opf"),
        containerNaming("OEBPS/"),
        kContainerPrefix + "  </rootfiles>\n</container>\n",
        "not xml at all",
    };
    for (const std::string& container : containers) {
        qp::EpubSource source;
        fs::path path =
            archive({{"META-INF/container.xml", container}, {"empty.opf", ""}, {"OEBPS/book.opf", kPackage}});
        EXPECT_EQ(unpackedPackage(source, path), "OEBPS/book.opf") << container;
        fs::remove(path);
    }
}

TEST_F(EpubSourceTest, ArchiveWithoutPackageFails) {
    qp::EpubSource source;
    EXPECT_FALSE(source.unpack(pathString(archive({{"mimetype", "application/epub+zip"}, {"a.html", "x"}}))));
    EXPECT_EQ(source.refusal(), "the archive holds no package (.opf) file");
    EXPECT_TRUE(source.packagePath().empty());
}

TEST_F(EpubSourceTest, EmptyPackageFails) {
    qp::EpubSource source;
    EXPECT_FALSE(source.unpack(pathString(archive({{"OEBPS/content.opf", ""}}))));
    EXPECT_NE(source.refusal().find("content.opf\" is empty"), std::string::npos) << source.refusal();
}

TEST_F(EpubSourceTest, NamesAreDecodedIntoFileNames) {
    ZipMember utf8("caf\xC3\xA9.html", "u");
    utf8.flags = 1u << 11;
    fs::path path = archive({{"na\x8Fve.html", "c"}, utf8, {"images/", ""}, {"p.opf", kPackage}});
    qp::EpubSource source;
    ASSERT_TRUE(source.unpack(pathString(path))) << source.refusal();
    fs::path work = source.workingDirectory().toUtf8();
    EXPECT_EQ(qptest::readFile(work / "na\xC3\x85ve.html"), "c");  // 0x8F: A with ring in code page 437
    EXPECT_EQ(qptest::readFile(work / "caf\xC3\xA9.html"), "u");
    EXPECT_TRUE(fs::is_directory(work / "images"));
}

TEST_F(EpubSourceTest, WorkingDirectoryLivesAsLongAsTheSource) {
    fs::path path = archive({{"p.opf", kPackage}});
    fs::path work;
    {
        qp::EpubSource source;
        ASSERT_TRUE(source.unpack(pathString(path)));
        work = source.workingDirectory().toUtf8();
        EXPECT_EQ(work.parent_path(), fs::temp_directory_path());
        EXPECT_EQ(work.filename().string().rfind("quillpress-epub-", 0), 0u);
        EXPECT_TRUE(fs::exists(work / "p.opf"));
    }
    EXPECT_FALSE(fs::exists(work));
    EXPECT_TRUE(leftovers().empty());
}

// Every refusal: the unpack fails with a reason naming the fault, and nothing is left anywhere.
struct Refusal {
    std::string label;
    std::vector<ZipMember> members;
    std::string reason;
};

TEST_F(EpubSourceTest, HostileArchivesAreRefusedWhole) {
    const std::string outsideName = "quillpress-epub-test-escape-" + fs::path(dir.path()).filename().string();
    const fs::path outside = fs::temp_directory_path() / outsideName;
    ZipMember encrypted("secret.html", "x");
    encrypted.flags = 1;
    ZipMember bigDeclared("huge.bin", "small data");
    bigDeclared.declaredSize = uint64_t{3} << 30;
    const std::vector<Refusal> refusals = {
        {"parent",
         {{"p.opf", kPackage}, {"../" + outsideName, "evil"}},
         "entry \"../" + outsideName + "\" would be written outside the unpacking directory"},
        {"deep parent", {{"a/../../../" + outsideName, "evil"}}, "would be written outside"},
        {"absolute",
         {{outside.string(), "evil"}, {"p.opf", kPackage}},
         "entry \"" + outside.string() + "\" has an absolute path"},
        {"drive", {{"C:\\evil.txt", "evil"}}, "entry \"C:\\evil.txt\" names a drive"},
        {"symbolic link",
         {qptest::symbolicLinkMember("link", "/etc"), {"link/passwd", "evil"}},
         "entry \"link\" is a symbolic link"},
        {"duplicate", {{"p.opf", kPackage}, {"p.opf", "<package/>"}}, "entry \"p.opf\" occurs twice"},
        {"same file twice", {{"a/b.html", "1"}, {"a\\b.html", "2"}}, "occurs twice"},
        {"encrypted", {encrypted, {"p.opf", kPackage}}, "entry \"secret.html\" is encrypted"},
        {"declared bomb", {{"p.opf", kPackage}, bigDeclared}, "decompression bomb"},
        {"ratio bomb", {{"p.opf", kPackage}, {"zeros.bin", std::string(10 << 20, '\0')}}, "decompression bomb"},
    };
    for (const Refusal& refusal : refusals) {
        fs::path path = archive(refusal.members);
        {
            qp::EpubSource source;
            EXPECT_FALSE(source.unpack(pathString(path))) << refusal.label;
            EXPECT_NE(source.refusal().find(refusal.reason), std::string::npos)
                << refusal.label << ": " << source.refusal();
            EXPECT_TRUE(source.packagePath().empty()) << refusal.label;
        }
        EXPECT_FALSE(fs::exists(outside)) << refusal.label;
        EXPECT_TRUE(leftovers().empty()) << refusal.label;
        fs::remove(path);
    }
}

TEST_F(EpubSourceTest, DeclaredSizeThatUndersellsTheDataIsRefused) {
    // The archive claims 100 bytes for data that inflates to 200 KB: only 100 bytes are ever written, and
    // their checksum cannot match.
    ZipMember liar("text.html", std::string(200000, 'a'));
    liar.declaredSize = 100;
    qp::EpubSource source;
    EXPECT_FALSE(source.unpack(pathString(archive({{"p.opf", kPackage}, liar}))));
    EXPECT_EQ(source.refusal(), "entry \"text.html\" is damaged or cut short");
}

TEST_F(EpubSourceTest, DeclaredSizeThatOversellsTheDataIsRefused) {
    ZipMember liar("text.html", std::string(1000, 'a'));
    liar.declaredSize = 5000;
    qp::EpubSource source;
    EXPECT_FALSE(source.unpack(pathString(archive({{"p.opf", kPackage}, liar}))));
    EXPECT_EQ(source.refusal(), "entry \"text.html\" is damaged or cut short");
}

TEST_F(EpubSourceTest, DamagedFilesAreRefused) {
    fs::path whole = archive({{"p.opf", kPackage}, {"text.html", std::string(50000, 'x')}});
    std::string bytes = qptest::readFile(whole);

    const fs::path truncated = dir / "truncated.epub";
    qptest::writeFile(truncated, bytes.substr(0, bytes.size() / 2));
    const fs::path notZip = dir / "text.epub";
    qptest::writeFile(notZip, "This is not a zip archive.\n");
    const fs::path empty = dir / "empty.epub";
    qptest::writeFile(empty, "");
    // The data of the second entry overwritten: its checksum fails.
    std::string corrupt = bytes;
    size_t data = corrupt.find("text.html") + 9;
    for (size_t i = data + 4; i < data + 40; ++i) corrupt[i] = static_cast<char>(corrupt[i] ^ 0x5A);
    const fs::path corrupted = dir / "corrupt.epub";
    qptest::writeFile(corrupted, corrupt);

    for (const fs::path& path : {truncated, notZip, empty, dir / "missing.epub", corrupted}) {
        qp::EpubSource source;
        EXPECT_FALSE(source.unpack(pathString(path))) << path;
        EXPECT_FALSE(source.refusal().empty()) << path;
    }
    EXPECT_TRUE(leftovers().empty());
}

}  // namespace
