// SPDX-License-Identifier: GPL-3.0-or-later
#include "package/epub_source.h"

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <new>
#include <set>

#include "core/ascii_text.h"
#include "markup/encoding_detection.h"
#include "markup/node_selector.h"
#include "markup/xml_parser.h"
#include "package/epub_entry_name.h"
#include "package/epub_expansion_limits.h"
#include "package/epub_unpack_directory.h"
#include "package/epub_zip_archive.h"

namespace qp {

namespace {

constexpr std::string_view kContainerPath = "META-INF/container.xml";
constexpr size_t kInflateChunk = 64 * 1024;

bool isPackageFileName(std::string_view name) {
    if (name.empty() || name.front() == '.') return false;
    size_t dot = name.rfind('.');
    return dot != std::string_view::npos && equalsCaseBlind(name.substr(dot + 1), "opf");
}

// A regular file with at least one byte; links are not followed.
bool nonEmptyFile(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0;
}

std::string inQuotes(const std::string& name) { return "\"" + name + "\""; }

std::string verdictReason(const EntryName& name) {
    switch (name.verdict) {
        case EntryNameVerdict::Absolute: return "entry " + inQuotes(name.display) + " has an absolute path";
        case EntryNameVerdict::DriveLetter: return "entry " + inQuotes(name.display) + " names a drive";
        case EntryNameVerdict::EscapesDirectory:
            return "entry " + inQuotes(name.display) + " would be written outside the unpacking directory";
        case EntryNameVerdict::Empty: return "entry " + inQuotes(name.display) + " has no file name";
        case EntryNameVerdict::Accepted: break;
    }
    return {};
}

}  // namespace

struct EpubSource::PlannedEntry {
    EntryName name;
    ZipEntryInfo info;
    bool directory = false;
    size_t position = 0;  // index in archive order
};

EpubSource::EpubSource() = default;

EpubSource::~EpubSource() = default;

String EpubSource::workingDirectory() const {
    return directory_ ? String::fromUtf8(directory_->path().string()) : String();
}

bool EpubSource::refuse(std::string reason) {
    refusal_ = std::move(reason);
    return false;
}

bool EpubSource::unpack(const String& archivePath) {
    archivePath_ = archivePath;
    std::error_code error;
    // Anything else (a pipe, a device) could block the build forever on its first read.
    if (!std::filesystem::is_regular_file(archivePath.systemPath(), error)) {
        return refuse("the file is not a regular file");
    }
    try {
        ZipArchive archive(archivePath.systemPath());
        if (!archive.isOpen()) return refuse("the file is not a zip archive, or it is damaged");
        std::vector<PlannedEntry> entries;
        if (!plan(archive, entries)) return false;
        directory_ = std::make_unique<UnpackDirectory>();
        if (!directory_->created()) return refuse("no unpacking directory could be made in the temporary directory");
        if (!extract(archive, entries)) return false;
    } catch (const std::bad_alloc&) {
        return refuse("not enough memory to unpack the archive");
    }
    return choosePackage();
}

// Reads the whole central directory first, so that a hostile archive is refused before anything is written.
bool EpubSource::plan(ZipArchive& archive, std::vector<PlannedEntry>& entries) {
    ExpansionLimits limits;
    std::set<std::string> names;
    size_t position = 0;
    ZipArchive::Step step = archive.first();
    for (; step == ZipArchive::Step::Entry; step = archive.next(), ++position) {
        if (position == ExpansionLimits::kMaxEntries) return refuse("the archive holds more than 50,000 entries");
        PlannedEntry entry;
        entry.position = position;
        if (!archive.currentInfo(entry.info)) return refuse("the archive's directory cannot be read");
        entry.name = parseEntryName(entry.info.storedName, (entry.info.flags & kZipFlagUtf8Names) != 0);
        entry.directory = entry.name.directory || entry.info.directory();
        if (entry.name.verdict == EntryNameVerdict::Empty && entry.directory) continue;
        if (!entry.name.accepted()) return refuse(verdictReason(entry.name));
        const std::string shown = inQuotes(entry.name.display);
        if (entry.info.symbolicLink()) return refuse("entry " + shown + " is a symbolic link");
        if (entry.info.encrypted()) return refuse("entry " + shown + " is encrypted");
        if (!limits.declare(entry.info.uncompressedSize, entry.info.compressedSize)) {
            return refuse("entry " + shown + " would expand beyond the size bounds (decompression bomb)");
        }
        if (!entry.directory && !names.insert(entry.name.relativePath()).second) {
            return refuse("entry " + shown + " occurs twice");
        }
        entries.push_back(std::move(entry));
    }
    if (step == ZipArchive::Step::Failed) return refuse("the archive's directory cannot be read");
    return true;
}

bool EpubSource::extract(ZipArchive& archive, const std::vector<PlannedEntry>& entries) {
    ExpansionLimits limits;
    // The planned entries are a subset of the archive's, in its order: walk along to each one.
    size_t position = 0;
    ZipArchive::Step step = archive.first();
    for (const PlannedEntry& entry : entries) {
        for (; position < entry.position && step == ZipArchive::Step::Entry; ++position) step = archive.next();
        if (step != ZipArchive::Step::Entry) return refuse("the archive's directory cannot be read");
        if (entry.directory) {
            if (!directory_->makeDirectories(entry.name.components)) {
                return refuse("entry " + inQuotes(entry.name.display) + " could not be made as a directory");
            }
            continue;
        }
        if (!extractFile(archive, entry, limits)) return false;
        notice(entry);
    }
    return true;
}

bool EpubSource::extractFile(ZipArchive& archive, const PlannedEntry& entry, ExpansionLimits& limits) {
    const std::string shown = inQuotes(entry.name.display);
    UniqueFd file = directory_->createFile(entry.name.components);
    if (!file.valid()) return refuse("entry " + shown + " could not be written");
    if (!archive.openEntry()) return refuse("entry " + shown + " cannot be read (damaged or unknown compression)");
    std::vector<char> buffer(kInflateChunk);
    uint64_t written = 0;
    for (;;) {
        long got = archive.read(buffer.data(), buffer.size());
        if (got < 0) return refuse("entry " + shown + " is damaged or cut short");
        if (got == 0) break;
        written += static_cast<uint64_t>(got);
        if (written > entry.info.uncompressedSize ||
            !limits.inflated(static_cast<uint64_t>(got), written, entry.info.compressedSize)) {
            return refuse("entry " + shown + " expands beyond the size bounds (decompression bomb)");
        }
        if (!writeAll(file.get(), buffer.data(), static_cast<size_t>(got))) {
            return refuse("entry " + shown + " could not be written");
        }
    }
    if (!archive.closeEntry() || written != entry.info.uncompressedSize) {
        return refuse("entry " + shown + " is damaged or cut short");
    }
    return true;
}

void EpubSource::notice(const PlannedEntry& entry) {
    String extracted = String::fromUtf8((directory_->path() / entry.name.relativePath()).string());
    if (equalsCaseBlind(entry.name.relativePath(), kContainerPath)) {
        containerPath_ = extracted;
    } else if (isPackageFileName(entry.name.fileName())) {
        packageCandidate_ = extracted;
    }
}

bool EpubSource::choosePackage() {
    if (!containerPath_.empty()) packagePath_ = packageOfContainer();
    if (packagePath_.empty()) {
        if (packageCandidate_.empty()) return refuse("the archive holds no package (.opf) file");
        if (!nonEmptyFile(packageCandidate_.systemPath())) {
            return refuse("the package file " + inQuotes(packageCandidate_.toUtf8()) + " is empty");
        }
        packagePath_ = packageCandidate_;
    }
    return true;
}

String EpubSource::packageOfContainer() const {
    String text;
    text.messages = messages;
    if (!text.loadFile(containerPath_)) return String();
    detectEncoding(text);
    XmlParser parser(std::move(text), ParseMode::Xml);
    parser.parse();
    NodeSelector requests(parser);
    std::vector<NodeIndex> rootfiles = requests.select("/container/rootfiles/rootfile");
    if (rootfiles.empty()) return String();
    // The full path is read like an entry name, so that it cannot lead out of the working directory either.
    EntryName name = parseEntryName(parser.attribute(rootfiles.front(), "full-path").toUtf8(), true);
    if (!name.accepted() || name.directory) return String();
    std::string path = (directory_->path() / name.relativePath()).string();
    return nonEmptyFile(path) ? String::fromUtf8(path) : String();
}

}  // namespace qp
