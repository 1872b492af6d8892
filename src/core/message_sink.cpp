#include "core/message_sink.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <new>
#include <utility>

#include "core/message_layout.h"
#include "core/string.h"

namespace qp {

using messages::inRanges;
using messages::utf8ToUtf16;

std::u16string messages::utf8ToUtf16(std::string_view utf8) {
    std::u16string out;
    out.reserve(utf8.size());
    size_t i = 0;
    while (i < utf8.size()) {
        auto byte = static_cast<unsigned char>(utf8[i]);
        int extra = byte < 0x80 ? 0 : byte >= 0xF0 ? 3 : byte >= 0xE0 ? 2 : byte >= 0xC0 ? 1 : -1;
        bool complete = extra >= 0 && i + extra < utf8.size();
        for (int k = 1; complete && k <= extra; ++k)
            complete = (static_cast<unsigned char>(utf8[i + k]) & 0xC0) == 0x80;
        if (!complete) {
            out.push_back(u'\uFFFD');
            ++i;
            continue;
        }
        char32_t ch = extra == 0 ? byte : byte & (0x3F >> extra);
        for (int k = 1; k <= extra; ++k) ch = (ch << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
        i += extra + 1;
        if (ch >= 0x10000) {
            ch -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (ch >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (ch & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(ch));
        }
    }
    return out;
}

namespace {

std::string utf16ToUtf8(std::u16string_view utf16) {
    std::string out;
    out.reserve(utf16.size());
    for (size_t i = 0; i < utf16.size(); ++i) {
        char32_t ch = utf16[i];
        if (ch >= 0xD800 && ch < 0xDC00 && i + 1 < utf16.size() && utf16[i + 1] >= 0xDC00 && utf16[i + 1] < 0xE000) {
            ch = 0x10000 + ((ch - 0xD800) << 10) + (utf16[i + 1] - 0xDC00);
            ++i;
        }
        if (ch < 0x80) {
            out.push_back(static_cast<char>(ch));
        } else if (ch < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (ch >> 6)));
            out.push_back(static_cast<char>(0x80 | (ch & 0x3F)));
        } else if (ch < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (ch >> 12)));
            out.push_back(static_cast<char>(0x80 | ((ch >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (ch & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (ch >> 18)));
            out.push_back(static_cast<char>(0x80 | ((ch >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((ch >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (ch & 0x3F)));
        }
    }
    return out;
}

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
    if (text.size() > static_cast<size_t>(kArgumentChars)) text.resize(kArgumentChars);
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

bool MessageSink::textGiven(int slot) const {
    return slot >= 0 && slot < kArgumentSlots && slots_[slot].mark != 0;
}

// ---------------------------------------------------------------------------------------------------------
// Raising messages

void MessageSink::error(int code, int a, int b, int c) {
    if (!enabled_ || code < 0 || code > kLastErrorCode || errorFiltered(code)) return;
    std::unique_lock lock(mutex_, kLockWait);
    if (!lock.owns_lock()) return;
    try {
        Pieces pieces;
        layoutError(pieces, code, a, b, c);
        output(pieces);
    } catch (const std::bad_alloc&) {
        // A message that cannot be assembled is dropped.
    }
}

void MessageSink::warning(int code, int a, int b, int c) {
    if (!enabled_ || code < 0 || code > kLastWarningCode || warningFiltered(code)) return;
    std::unique_lock lock(mutex_, kLockWait);
    if (!lock.owns_lock()) return;
    try {
        Pieces pieces;
        layoutWarning(pieces, code, a, b, c);
        output(pieces);
    } catch (const std::bad_alloc&) {
        // A message that cannot be assembled is dropped.
    }
}

void MessageSink::info(int code, int a, int b) {
    if (!enabled_ || code < 0 || code > kLastInfoCode || infoFiltered(code)) return;
    std::unique_lock lock(mutex_, kLockWait);
    if (!lock.owns_lock()) return;
    try {
        Pieces pieces;
        layoutInfo(pieces, code, a, b);
        output(pieces);
    } catch (const std::bad_alloc&) {
        // A message that cannot be assembled is dropped.
    }
}

void MessageSink::output(const std::vector<std::u16string>&) {}
bool MessageSink::warningFiltered(int) const { return false; }
bool MessageSink::errorFiltered(int) const { return false; }
bool MessageSink::infoFiltered(int) const { return false; }

// ---------------------------------------------------------------------------------------------------------
// Console

void ConsoleSink::output(const std::vector<std::u16string>& pieces) {
    for (const std::u16string& piece : pieces) {
        if (piece.empty()) continue;
        std::string utf8 = utf16ToUtf8(piece);
        std::fwrite(utf8.data(), 1, utf8.size(), stdout);
        std::fflush(stdout);
    }
}

// The parser's routine warnings stay off the console; the unsupported encoding one is worth seeing.
bool ConsoleSink::warningFiltered(int code) const { return code >= 7 && code <= 16 && code != 12; }

bool ConsoleSink::errorFiltered(int code) const { return code == 29; }

// Without the verbose switch the per-file and per-record progress notes are left out.
bool ConsoleSink::infoFiltered(int code) const {
    if (verbose()) return false;
    return inRanges(code, {{2, 2}, {4, 6}, {9, 12}, {14, 25}, {33, 35}, {39, 39}, {43, 49}});
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
