// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// EpubSource: an ePub archive unpacked into a working directory, with the package file found inside it.
//
// Unpacking walks the archive in order and extracts every entry below a fresh working directory in the
// temporary directory. The package is the file that "META-INF/container.xml" names in its first rootfile's
// full-path; without a usable container it is the last ".opf" entry whose name does not begin with ".".
//
// Archives that would write outside the working directory are refused as a whole, never partly obeyed: names
// that are absolute, start with a drive letter or climb out with "..", symbolic links, encrypted entries, a
// name that occurs twice, and archives whose declared or inflated sizes break the expansion bounds. The
// reason is kept for the user. The working directory goes with the object.
#include <memory>
#include <string>
#include <vector>

#include "core/fault.h"
#include "core/string.h"

namespace qp {

class ExpansionLimits;
class UnpackDirectory;
class ZipArchive;

class EpubSource : public FaultHeader {
public:
    EpubSource();
    ~EpubSource();
    EpubSource(const EpubSource&) = delete;
    EpubSource& operator=(const EpubSource&) = delete;

    // Unpacks the archive and finds its package. False when the archive cannot be read, is refused, or holds
    // no package; refusal() then says why.
    bool unpack(const String& archivePath);

    const String& archivePath() const { return archivePath_; }
    // Empty before unpacking and when no directory could be made.
    String workingDirectory() const;
    // Extracted paths; empty when the archive had none.
    const String& containerPath() const { return containerPath_; }
    const String& packageCandidate() const { return packageCandidate_; }
    const String& packagePath() const { return packagePath_; }
    // One line, in English, naming the entry at fault where there is one.
    const std::string& refusal() const { return refusal_; }

private:
    struct PlannedEntry;

    bool refuse(std::string reason);
    bool plan(ZipArchive& archive, std::vector<PlannedEntry>& entries);
    bool extract(ZipArchive& archive, const std::vector<PlannedEntry>& entries);
    bool extractFile(ZipArchive& archive, const PlannedEntry& entry, ExpansionLimits& limits);
    void notice(const PlannedEntry& entry);
    bool choosePackage();
    // The package the container names, or an empty String.
    String packageOfContainer() const;

    String archivePath_;
    std::unique_ptr<UnpackDirectory> directory_;
    String containerPath_;
    String packageCandidate_;
    String packagePath_;
    std::string refusal_;
};

}  // namespace qp
