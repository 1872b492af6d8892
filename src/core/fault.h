#pragma once
// The fault header that every core object starts with. Operations return a status or a count and leave
// their outcome here; callers test the fields instead of catching exceptions.
#include "core/message_catalogue.h"

namespace qp {

// An absent message argument.
constexpr int kNoArg = -1;

struct FaultHeader {
    bool quiet = false;  // faults are recorded but not sent to the message sink
    ErrorCode lastError = ErrorCode::None;
    WarningCode lastWarning = WarningCode::None;
    InfoCode lastInfo = InfoCode::None;

    bool failed() const { return lastError != ErrorCode::None; }
    bool warned() const { return lastWarning != WarningCode::None; }
};

// Records a message in the object's header and, unless the object is quiet, sends it to the process sink.
// A quiet object does not record errors either.
// Arguments are message-argument slots or plain numbers, as the code's layout says; kNoArg when absent.
void report(FaultHeader& object, MessageCode code, int a = kNoArg, int b = kNoArg, int c = kNoArg);

// Takes the error and warning another object recorded (and already reported) into `into`.
void absorbFaults(FaultHeader& into, const FaultHeader& from);

}  // namespace qp
