// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The fault header that every core object starts with. Operations return a status or a count and leave
// their outcome here; callers test the fields instead of catching exceptions.
#include <utility>

#include "core/message_arguments.h"
#include "core/message_catalogue.h"

namespace qp {

class MessageSink;

struct FaultHeader {
    // Where the object's messages are shown: the sink of the build that made it. An object without one
    // (a test's, a fuzz target's) only records its faults. Not owned.
    MessageSink* messages = nullptr;
    bool quiet = false;  // faults are recorded but not sent to the message sink
    ErrorCode lastError = ErrorCode::None;
    WarningCode lastWarning = WarningCode::None;
    InfoCode lastInfo = InfoCode::None;

    bool failed() const { return lastError != ErrorCode::None; }
    bool warned() const { return lastWarning != WarningCode::None; }
};

// Records a message in the object's header and, unless the object is quiet, sends it to the object's sink.
// A quiet object does not record errors either.
void reportMessage(FaultHeader& object, MessageCode code, const MessageArguments& arguments);

// The same for a code and its arguments, checked against the code's layout when the program is compiled.
template <typename... Arguments>
void report(FaultHeader& object, MessageFor<Arguments...> message, Arguments&&... arguments) {
    reportMessage(object, message.code(), MessageArguments(std::forward<Arguments>(arguments)...));
}

// Takes the error and warning another object recorded (and already reported) into `into`.
void absorbFaults(FaultHeader& into, const FaultHeader& from);

// Sends the messages of `object` where those of `owner` go (for the parts an object makes).
inline void reportsLike(FaultHeader& object, const FaultHeader& owner) { object.messages = owner.messages; }

}  // namespace qp
