#pragma once
// A message sink for tests: keeps the codes raised and the printed lines while it is installed.
#include <algorithm>
#include <string>
#include <vector>

#include "core/message_sink.h"
#include "core/string.h"

class CapturedSink : public qp::MessageSink {
public:
    CapturedSink() { previous_ = qp::installSink(this); }
    ~CapturedSink() override { qp::installSink(previous_); }

    void error(int code, int a, int b, int c) override {
        errors.push_back(code);
        MessageSink::error(code, a, b, c);
    }
    void warning(int code, int a, int b, int c) override {
        warnings.push_back(code);
        MessageSink::warning(code, a, b, c);
    }
    void info(int code, int a, int b) override {
        infos.push_back(code);
        MessageSink::info(code, a, b);
    }
    void output(const std::vector<std::u16string>& pieces) override {
        std::u16string line;
        for (const std::u16string& piece : pieces) line += piece;
        std::string utf8 = qp::String(line).toUtf8();
        while (!utf8.empty() && (utf8.back() == '\n' || utf8.back() == '\r')) utf8.pop_back();
        lines.push_back(utf8);
    }

    bool printed(const std::string& line) const { return std::find(lines.begin(), lines.end(), line) != lines.end(); }
    static int count(const std::vector<int>& codes, int code) {
        return static_cast<int>(std::count(codes.begin(), codes.end(), code));
    }

    std::vector<int> errors;
    std::vector<int> warnings;
    std::vector<int> infos;
    std::vector<std::string> lines;

private:
    qp::MessageSink* previous_ = nullptr;
};
