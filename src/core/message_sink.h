// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A build's message sink: errors, warnings and infos raised by code, their texts looked up in the
// catalogue, their arguments laid out as the code's layout says, filtered, and printed one line each.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "core/message_arguments.h"
#include "core/message_catalogue.h"
#include "core/progress.h"

namespace qp {

class MessageSink {
public:
    MessageSink() = default;
    virtual ~MessageSink() = default;
    MessageSink(const MessageSink&) = delete;
    MessageSink& operator=(const MessageSink&) = delete;

    // Raises a message whose arguments are checked against the code's layout when the program is compiled.
    template <typename... Arguments>
    void raise(MessageFor<Arguments...> message, Arguments&&... arguments) {
        emit(message.code(), MessageArguments(std::forward<Arguments>(arguments)...));
    }
    // Lays out and writes one message. A code without a catalogue row, or one the sink filters, is dropped.
    virtual void emit(MessageCode code, const MessageArguments& arguments);
    // Writes one assembled line (its pieces, the last being the line end). The base sink writes nothing.
    virtual void output(const std::vector<std::u16string>& pieces);
    // True suppresses the message. The base sink suppresses nothing.
    virtual bool filtered(const MessageRow& row) const;

    // How many warnings this sink has printed so far. A build has its own sink, so a warning from any part of
    // it that reaches the user makes the result "generated with warnings".
    uint64_t printedWarnings() const { return printedWarnings_; }

    // A progress display on the same console, taken off the screen before each line; nullptr for none.
    void setProgressDisplay(Progress* display) { display_ = display; }

    bool verbose() const { return verbose_; }
    void setVerbose(bool on) { verbose_ = on; }

private:
    bool verbose_ = false;
    Progress* display_ = nullptr;
    uint64_t printedWarnings_ = 0;
};

// The sink the program installs: prints each line on standard output in UTF-8, leaving out the messages the
// catalogue hides from the console and, unless verbose, the progress notes.
class ConsoleSink : public MessageSink {
public:
    void output(const std::vector<std::u16string>& pieces) override;
    bool filtered(const MessageRow& row) const override;
};

// The pieces of a message line: the code's text, its arguments as the layout places them, the line end.
std::vector<std::u16string> layOutMessage(const MessageRow& row, const MessageArguments& arguments);

// Plain console print: printf-style format, UTF-8, to standard output, flushed.
void consolePrint(const char* format, ...) __attribute__((format(printf, 1, 2)));
// The line under an error that tells why it happened: "      Reason: <text>".
void printReason(const std::string& reason);
// The same with the system's text for an errno value; nothing for 0.
void printSystemReason(int error);

}  // namespace qp
