#include "core/message_sink.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <new>
#include <utility>

#include "core/string.h"
#include "core/unicode.h"

namespace qp {

namespace {

MessageSink* installedSink = nullptr;

}  // namespace

MessageSink::MessageSink() : enabled_(true) {}

// ---------------------------------------------------------------------------------------------------------
// Argument store

int MessageSink::registerArgument(const String& text, int mark) {
    std::u16string utf16;
    try {
        utf16 = text.toUtf16();
    } catch (const std::bad_alloc&) {
        return -1;
    }
    std::unique_lock lock(mutex_, kLockWait);
    if (!lock.owns_lock()) return -1;
    return storeArgument(std::move(utf16), mark);
}

int MessageSink::registerArgument(std::string_view utf8, int mark) {
    std::u16string utf16;
    try {
        utf16 = utf8ToUtf16(utf8);
    } catch (const std::bad_alloc&) {
        return -1;
    }
    std::unique_lock lock(mutex_, kLockWait);
    if (!lock.owns_lock()) return -1;
    return storeArgument(std::move(utf16), mark);
}

int MessageSink::reusableSlot(uint8_t mark, int& cursor) const {
    for (int step = 0; step < kArgumentSlots; ++step) {
        int slot = (cursor + step) % kArgumentSlots;
        if (slots_[slot].mark == mark) {
            cursor = (slot + 1) % kArgumentSlots;
            return slot;
        }
    }
    return -1;
}

int MessageSink::storeArgument(std::u16string text, int mark) {
    int slot = -1;
    for (int candidate = 0; candidate < kArgumentSlots && slot < 0; ++candidate)
        if (slots_[candidate].mark == 0) slot = candidate;
    if (slot < 0) slot = reusableSlot(2, reuseCursorMark2_);
    if (slot < 0) slot = reusableSlot(1, reuseCursorMark1_);
    if (slot < 0) return -1;
    if (text.size() > static_cast<size_t>(kArgumentChars)) {
        // Cut between characters: a surrogate pair split in two would print as invalid UTF-8.
        size_t cut = kArgumentChars;
        if (text[cut - 1] >= 0xD800 && text[cut - 1] <= 0xDBFF) --cut;
        text.resize(cut);
    }
    slots_[slot].text = std::move(text);
    slots_[slot].mark = mark == 1 ? 1 : 2;
    return slot;
}

std::u16string MessageSink::argument(int slot) {
    std::unique_lock lock(mutex_, kLockWait);
    if (!lock.owns_lock() || !textGiven(slot)) return {};
    return slots_[slot].text;
}

void MessageSink::releaseArgument(int slot) {
    std::unique_lock lock(mutex_, kLockWait);
    if (!lock.owns_lock() || slot < 0 || slot >= kArgumentSlots) return;
    slots_[slot].text.clear();
    slots_[slot].mark = 0;
}

bool MessageSink::textGiven(int slot) const { return slot >= 0 && slot < kArgumentSlots && slots_[slot].mark != 0; }

// ---------------------------------------------------------------------------------------------------------
// Raising messages

void MessageSink::error(ErrorCode code, int a, int b, int c) { raise(code, a, b, c); }
void MessageSink::warning(WarningCode code, int a, int b, int c) { raise(code, a, b, c); }
void MessageSink::info(InfoCode code, int a, int b) { raise(code, a, b, kNoArg); }

void MessageSink::raise(MessageCode code, int a, int b, int c) {
    const MessageRow* row = messageRow(code);
    if (!enabled_ || !row || filtered(*row)) return;
    std::unique_lock lock(mutex_, kLockWait);
    if (!lock.owns_lock()) return;
    try {
        Pieces pieces;
        layout(pieces, *row, a, b, c);
        if (display_) display_->suspend();
        output(pieces);
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

MessageSink& sink() {
    static ConsoleSink console;
    return installedSink ? *installedSink : console;
}

MessageSink* installSink(MessageSink* replacement) {
    MessageSink* previous = &sink();
    installedSink = replacement;
    return previous;
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
