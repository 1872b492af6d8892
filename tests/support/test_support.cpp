// SPDX-License-Identifier: GPL-3.0-or-later
#include "test_support.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

namespace qptest {

namespace fs = std::filesystem;

TempDir::TempDir() {
    std::random_device rd;
    for (int attempt = 0; attempt < 100; ++attempt) {
        fs::path candidate = fs::temp_directory_path() / ("qptest-" + std::to_string(rd()));
        std::error_code ec;
        if (fs::create_directory(candidate, ec)) {
            path_ = candidate;
            return;
        }
    }
    throw std::runtime_error("cannot create a scratch directory");
}

TempDir::~TempDir() {
    std::error_code ec;
    fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(path_, ec);
}

PrivateTemporaryDirectory::PrivateTemporaryDirectory() {
    const char* previous = std::getenv("TMPDIR");
    hadValue_ = previous != nullptr;
    if (hadValue_) saved_ = previous;
    setenv("TMPDIR", directory_.path().c_str(), 1);
}

PrivateTemporaryDirectory::~PrivateTemporaryDirectory() {
    if (hadValue_) {
        setenv("TMPDIR", saved_.c_str(), 1);
    } else {
        unsetenv("TMPDIR");
    }
}

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void writeFile(const fs::path& path, const std::string& bytes) {
    if (path.has_parent_path()) fs::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

RunResult run(const std::string& program, const std::vector<std::string>& args, const fs::path& workingDir) {
    // Output goes to files rather than pipes so that a chatty child can never block on a full pipe.
    TempDir scratch;
    fs::path outPath = scratch / "out", errPath = scratch / "err";
    pid_t pid = fork();
    if (pid == 0) {
        int outFd = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        int errFd = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        int nullFd = open("/dev/null", O_RDONLY);
        dup2(nullFd, 0);
        dup2(outFd, 1);
        dup2(errFd, 2);
        if (!workingDir.empty() && chdir(workingDir.c_str()) != 0) _exit(127);
        std::vector<char*> argv;
        argv.push_back(const_cast<char*>(program.c_str()));
        for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    RunResult result;
    int status = 0;
    waitpid(pid, &status, 0);
    if (WIFEXITED(status)) result.exitCode = WEXITSTATUS(status);
    result.out = readFile(outPath);
    result.err = readFile(errPath);
    return result;
}

RunResult runQuillpress(const std::vector<std::string>& args, const fs::path& workingDir) {
    return run(QP_QUILLPRESS_BIN, args, workingDir);
}

std::vector<std::string> tempEntries(const std::string& prefix) {
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(fs::temp_directory_path(), ec)) {
        std::string name = entry.path().filename().string();
        if (name.rfind(prefix, 0) == 0) names.push_back(name);
    }
    return names;
}

}  // namespace qptest
