#pragma once
// A message sink for tests: keeps every code raised, with its arguments, and the printed lines while it is
// installed.
#include <algorithm>
#include <ostream>
#include <string>
#include <vector>

#include "core/message_sink.h"
#include "core/string.h"

namespace qp {

// Codes print as their severity and number in test failures.
inline void PrintTo(ErrorCode code, std::ostream* os) { *os << "error " << static_cast<int>(code); }
inline void PrintTo(WarningCode code, std::ostream* os) { *os << "warning " << static_cast<int>(code); }
inline void PrintTo(InfoCode code, std::ostream* os) { *os << "info " << static_cast<int>(code); }

}  // namespace qp

template <class Code>
struct Raised {
    Code code;
    int a;
    int b;
    int c;
};

class CapturedSink : public qp::MessageSink {
public:
    CapturedSink() { previous_ = qp::installSink(this); }
    ~CapturedSink() override { qp::installSink(previous_); }

    void error(qp::ErrorCode code, int a, int b, int c) override {
        errors.push_back({code, a, b, c});
        MessageSink::error(code, a, b, c);
    }
    void warning(qp::WarningCode code, int a, int b, int c) override {
        warnings.push_back({code, a, b, c});
        MessageSink::warning(code, a, b, c);
    }
    void info(qp::InfoCode code, int a, int b) override {
        infos.push_back({code, a, b, qp::kNoArg});
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
    int count(qp::ErrorCode code) const { return countIn(errors, code); }
    int count(qp::WarningCode code) const { return countIn(warnings, code); }
    int count(qp::InfoCode code) const { return countIn(infos, code); }
    template <class Code>
    bool saw(Code code) const {
        return count(code) > 0;
    }
    std::vector<qp::ErrorCode> errorCodes() const { return codesOf(errors); }
    std::vector<qp::WarningCode> warningCodes() const { return codesOf(warnings); }

    std::vector<Raised<qp::ErrorCode>> errors;
    std::vector<Raised<qp::WarningCode>> warnings;
    std::vector<Raised<qp::InfoCode>> infos;
    std::vector<std::string> lines;

private:
    template <class Code>
    static int countIn(const std::vector<Raised<Code>>& raised, Code code) {
        return static_cast<int>(
            std::count_if(raised.begin(), raised.end(), [code](const Raised<Code>& r) { return r.code == code; }));
    }
    template <class Code>
    static std::vector<Code> codesOf(const std::vector<Raised<Code>>& raised) {
        std::vector<Code> codes;
        for (const Raised<Code>& r : raised) codes.push_back(r.code);
        return codes;
    }

    qp::MessageSink* previous_ = nullptr;
};
