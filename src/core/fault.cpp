#include "core/fault.h"

#include "core/message_sink.h"

namespace qp {

// The sink takes its message lock itself while it assembles and prints the line.
void report(FaultHeader& object, MessageCode code, int a, int b, int c) {
    switch (code.severity) {
        case Severity::Error: {
            if (object.quiet) return;
            const auto error = static_cast<ErrorCode>(code.number);
            object.lastError = error;
            sink().error(error, a, b, c);
            break;
        }
        case Severity::Warning: {
            const auto warning = static_cast<WarningCode>(code.number);
            object.lastWarning = warning;
            if (!object.quiet) sink().warning(warning, a, b, c);
            break;
        }
        case Severity::Info: {
            const auto info = static_cast<InfoCode>(code.number);
            object.lastInfo = info;
            if (!object.quiet) sink().info(info, a, b);
            break;
        }
    }
}

void absorbFaults(FaultHeader& into, const FaultHeader& from) {
    if (from.failed()) into.lastError = from.lastError;
    if (from.warned()) into.lastWarning = from.lastWarning;
}

}  // namespace qp
