// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/message_sink.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <new>

#include "core/unicode.h"

namespace qp {

void MessageSink::emit(MessageCode code, const MessageArguments& arguments) {
    const MessageRow* row = messageRow(code);
    if (!row || filtered(*row)) return;
    try {
        if (display_) display_->suspend();
        output(layOutMessage(*row, arguments));
        // A warning only verbose mode shows is a note on the build, not a fault of the source.
        if (code.severity == Severity::Warning && row->console == ConsoleFilter::Shown) ++printedWarnings_;
    } catch (const std::bad_alloc&) {
        // A message that cannot be assembled is dropped.
    }
}

void MessageSink::output(const std::vector<std::u16string>&) {}
bool MessageSink::filtered(const MessageRow&) const { return false; }

// ---------------------------------------------------------------------------------------------------------
// Console

void ConsoleSink::output(const std::vector<std::u16string>& pieces) {
    std::string line;
    for (const std::u16string& piece : pieces) line += utf16ToUtf8(piece);
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fflush(stdout);
}

bool ConsoleSink::filtered(const MessageRow& row) const {
    switch (row.console) {
        case ConsoleFilter::Shown: return false;
        case ConsoleFilter::VerboseOnly: return !verbose();
        case ConsoleFilter::Hidden: return true;
    }
    return false;
}

void consolePrint(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::vfprintf(stdout, format, args);
    va_end(args);
    std::fflush(stdout);
}

void printReason(const std::string& reason) { consolePrint("      Reason: %s\n", reason.c_str()); }

void printSystemReason(int error) {
    if (error != 0) printReason(std::strerror(error));
}

}  // namespace qp
