#pragma once
// The process-wide message sink: errors, warnings and infos raised by number, their texts looked up in
// fixed tables, arguments filled in a layout fixed per code, filtered, and printed one line each.
#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "core/fault.h"
#include "core/message_catalogue.h"

namespace qp {

class String;

class MessageSink {
public:
    static constexpr int kArgumentSlots = 400;
    static constexpr int kArgumentChars = 299;
    static constexpr auto kLockWait = std::chrono::milliseconds(100);

    MessageSink();
    virtual ~MessageSink() = default;
    MessageSink(const MessageSink&) = delete;
    MessageSink& operator=(const MessageSink&) = delete;

    // A code without a catalogue row, or one the sink filters, is dropped.
    virtual void error(ErrorCode code, int a = kNoArg, int b = kNoArg, int c = kNoArg);
    virtual void warning(WarningCode code, int a = kNoArg, int b = kNoArg, int c = kNoArg);
    virtual void info(InfoCode code, int a = kNoArg, int b = kNoArg);
    // Writes one assembled line (its pieces, the last being the line end). The base sink writes nothing.
    virtual void output(const std::vector<std::u16string>& pieces);
    // True suppresses the message. The base sink suppresses nothing.
    virtual bool filtered(const MessageRow& row) const;

    // Stores a text for use as a message argument; mark 1 or 2 (build stages use 2). Returns the slot or -1.
    int registerArgument(const String& text, int mark = 2);
    int registerArgument(std::string_view utf8, int mark = 2);
    // The text held in a slot ("" for a free or invalid slot, or when the lock stays busy).
    std::u16string argument(int slot);
    void releaseArgument(int slot);

    // How many warnings this sink has printed so far. A build compares it before and after, so a warning
    // from any subsystem that reaches the user makes the result "generated with warnings".
    uint64_t printedWarnings() const { return printedWarnings_.load(); }

    bool verbose() const { return verbose_; }
    void setVerbose(bool on) { verbose_ = on; }
    bool enabled() const { return enabled_; }

    // The last argument text and line number printed, kept for callers.
    const std::u16string& lastArgument() const { return lastArgument_; }
    int lastNumber() const { return lastNumber_; }

    // The message lock: guards the argument store and the output. Waits are bounded by kLockWait.
    std::timed_mutex& mutex() { return mutex_; }

private:
    using Pieces = std::vector<std::u16string>;
    struct Slot {
        std::u16string text;
        uint8_t mark = 0;  // 0 free, 1 or 2 in use
    };

    // The caller holds the mutex for all of these. The layouts assemble a whole line: text, arguments, line end.
    int storeArgument(std::u16string text, int mark);
    int reusableSlot(uint8_t mark, int& cursor) const;
    bool textGiven(int slot) const;
    void addText(Pieces& pieces, int slot);
    void addNumber(Pieces& pieces, int value, int digits);
    void addLineNumber(Pieces& pieces, int value);
    void raise(MessageCode code, int a, int b, int c);
    void layout(Pieces& pieces, const MessageRow& row, int a, int b, int c);
    void layoutSourceLine(Pieces& pieces, int a, int b, int c);
    void layoutSourcePosition(Pieces& pieces, int a, int b);

    std::array<Slot, kArgumentSlots> slots_;
    int reuseCursorMark2_ = 0;
    int reuseCursorMark1_ = 0;
    std::timed_mutex mutex_;
    bool enabled_ = false;
    bool verbose_ = false;
    std::u16string lastArgument_;
    int lastNumber_ = -1;
    std::atomic<uint64_t> printedWarnings_{0};
};

// The sink the program installs: prints each line on standard output in UTF-8, leaving out the messages the
// catalogue hides from the console and, unless verbose, the progress notes.
class ConsoleSink : public MessageSink {
public:
    void output(const std::vector<std::u16string>& pieces) override;
    bool filtered(const MessageRow& row) const override;
};

// The process-wide sink (a ConsoleSink unless replaced).
MessageSink& sink();
// Replaces the process-wide sink (tests capture output this way); returns the previous one. Not owned.
MessageSink* installSink(MessageSink* replacement);

// Plain console print: printf-style format, UTF-8, to standard output, flushed.
void consolePrint(const char* format, ...) __attribute__((format(printf, 1, 2)));
// The line under an error that tells why it happened: "      Reason: <text>".
void printReason(const std::string& reason);
// The same with the system's text for an errno value; nothing for 0.
void printSystemReason(int error);

}  // namespace qp
