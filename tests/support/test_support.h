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

std::string readFile(const std::filesystem::path& path);
void writeFile(const std::filesystem::path& path, const std::string& bytes);

struct RunResult {
    int exitCode = -1;   // -1 when the process did not exit normally
    std::string out;     // standard output
    std::string err;     // standard error
};

// Runs a program with arguments (no shell), in the given working directory when not empty.
RunResult run(const std::string& program, const std::vector<std::string>& args,
              const std::filesystem::path& workingDir = {});

// Runs the quillpress binary built with this tree.
RunResult runQuillpress(const std::vector<std::string>& args, const std::filesystem::path& workingDir = {});

// Names of the files in the temporary directory whose names start with the given prefix (leftover detection).
std::vector<std::string> tempEntries(const std::string& prefix);

}  // namespace qptest
