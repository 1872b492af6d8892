// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/fault.h"

#include "core/message_sink.h"

namespace qp {

void reportMessage(FaultHeader& object, MessageCode code, const MessageArguments& arguments) {
    switch (code.severity) {
        case Severity::Error:
            if (object.quiet) return;
            object.lastError = static_cast<ErrorCode>(code.number);
            break;
        case Severity::Warning: object.lastWarning = static_cast<WarningCode>(code.number); break;
        case Severity::Info: object.lastInfo = static_cast<InfoCode>(code.number); break;
    }
    if (!object.quiet && object.messages) object.messages->emit(code, arguments);
}

void absorbFaults(FaultHeader& into, const FaultHeader& from) {
    if (from.failed()) into.lastError = from.lastError;
    if (from.warned()) into.lastWarning = from.lastWarning;
}

}  // namespace qp
