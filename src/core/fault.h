#pragma once
// The fault header that every core object starts with. Operations return a status or a count and leave
// their outcome here; callers test the fields instead of catching exceptions.
#include <cstdint>

namespace qp {

enum class Severity { Error, Warning, Info };

// An absent message argument.
constexpr int kNoArg = -1;

struct FaultHeader {
    bool quiet = false;        // faults are recorded but not sent to the message sink
    int32_t lastError = 0;     // code of the last error, 0 = none
    int32_t lastWarning = 0;   // code of the last warning, 0 = none
    int32_t lastInfo = 0;      // code of the last info, 0 = none raised yet

    bool failed() const { return lastError != 0; }
    void clearFaults() { lastError = lastWarning = lastInfo = 0; }
};

// Records a message in the object's header and, unless the object is quiet, sends it to the process sink.
// Warning 2 is only recorded, never sent. A quiet object does not record errors either.
// Arguments are message-argument slots or plain numbers, as the code's layout says; kNoArg when absent.
void report(FaultHeader& object, Severity severity, int code, int a = kNoArg, int b = kNoArg, int c = kNoArg);

}  // namespace qp
