#include "core/fault.h"

#include "core/message_sink.h"

namespace qp {

namespace {

// Only recorded: running past the end of a string is how callers detect the end, not a fault to print.
constexpr int kWarningPastEndOfString = 2;

}  // namespace

// The sink takes its message lock itself while it assembles and prints the line.
void report(FaultHeader& object, Severity severity, int code, int a, int b, int c) {
    switch (severity) {
    case Severity::Error:
        if (object.quiet) return;
        object.lastError = code;
        sink().error(code, a, b, c);
        break;
    case Severity::Warning:
        object.lastWarning = code;
        if (!object.quiet && code != kWarningPastEndOfString) sink().warning(code, a, b, c);
        break;
    case Severity::Info:
        object.lastInfo = code;
        if (!object.quiet) sink().info(code, a, b);
        break;
    }
}

}  // namespace qp
