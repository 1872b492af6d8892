// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Helpers shared by the test suites: scratch directories, files and running the real binaries.
#include <filesystem>
#include <string>
#include <vector>

namespace qptest {

// A fresh directory under the system temporary directory, removed with everything in it on destruction.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};

// Points TMPDIR (and so std::filesystem::temp_directory_path and the programs the test runs) at a fresh
// directory of its own while it lives, so that tests running in parallel never see each other's files.
class PrivateTemporaryDirectory {
public:
    PrivateTemporaryDirectory();
    ~PrivateTemporaryDirectory();
    PrivateTemporaryDirectory(const PrivateTemporaryDirectory&) = delete;
    PrivateTemporaryDirectory& operator=(const PrivateTemporaryDirectory&) = delete;

    const std::filesystem::path& path() const { return directory_.path(); }

private:
    TempDir directory_;
    std::string saved_;
    bool hadValue_ = false;
};

std::string readFile(const std::filesystem::path& path);
void writeFile(const std::filesystem::path& path, const std::string& bytes);

struct RunResult {
    int exitCode = -1;  // -1 when the process did not exit normally
    std::string out;    // standard output
    std::string err;    // standard error
};

// Runs a program with arguments (no shell), in the given working directory when not empty.
RunResult run(const std::string& program, const std::vector<std::string>& args,
              const std::filesystem::path& workingDir = {});

// Runs the quillpress binary built with this tree.
RunResult runQuillpress(const std::vector<std::string>& args, const std::filesystem::path& workingDir = {});

// Names of the files in the temporary directory whose names start with the given prefix (leftover detection).
std::vector<std::string> tempEntries(const std::string& prefix);

}  // namespace qptest
