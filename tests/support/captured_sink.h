// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A message sink for tests: keeps every code raised, with its arguments, and the printed lines of the objects
// that report to it.
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
    qp::MessageArguments arguments;

    int number(size_t position) const { return arguments.number(position); }
    std::u16string text(size_t position) const { return arguments.text(position).text(); }
};

class CapturedSink : public qp::MessageSink {
public:
    void emit(qp::MessageCode code, const qp::MessageArguments& arguments) override {
        switch (code.severity) {
            case qp::Severity::Error: errors.push_back({static_cast<qp::ErrorCode>(code.number), arguments}); break;
            case qp::Severity::Warning:
                warnings.push_back({static_cast<qp::WarningCode>(code.number), arguments});
                break;
            case qp::Severity::Info: infos.push_back({static_cast<qp::InfoCode>(code.number), arguments}); break;
        }
        MessageSink::emit(code, arguments);
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
};
