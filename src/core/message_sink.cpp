#include "core/message_sink.h"

#include <cstdarg>
#include <cstdio>
#include <initializer_list>
#include <new>
#include <utility>

#include "core/string.h"

namespace qp {

namespace {

// The fixed pieces that message lines are assembled from.
constexpr char16_t kLineEnd[] = u"\n";
constexpr char16_t kLinePrefix[] = u"line: ";
constexpr char16_t kSevenBlanks[] = u"       ";
constexpr char16_t kFiveBlanks[] = u"     ";
constexpr char16_t kTwoBlanks[] = u"  ";
constexpr char16_t kOneBlank[] = u" ";
constexpr char16_t kInFile[] = u" in file: ";
constexpr char16_t kIndexName[] = u" Index name: ";
constexpr char16_t kKeyType[] = u" Key type: ";
constexpr char16_t kUrl[] = u"URL: ";
constexpr char16_t kInternetError[] = u"Error(internet): ";
constexpr char16_t kPercent[] = u"%";
constexpr char16_t kDot[] = u".";
constexpr char16_t kBytes[] = u" bytes ";
constexpr char16_t kEntries[] = u" entries ";
constexpr char16_t kRecords[] = u" records ";
constexpr char16_t kQuote[] = u"\"";
constexpr char16_t kKiloBytes[] = u"KB";
constexpr char16_t kMegaBytes[] = u"MB";
constexpr char16_t kInPattern[] = u" in pattern: ";
constexpr char16_t kPlugin[] = u" plugin: ";
constexpr char16_t kOpenAngle[] = u"<";
constexpr char16_t kCloseAngle[] = u">";

constexpr int kLineNumberDigits = 7;

struct Range {
    int first;
    int last;
};

bool inRanges(int code, std::initializer_list<Range> ranges) {
    for (const Range& range : ranges)
        if (code >= range.first && code <= range.last) return true;
    return false;
}

std::u16string utf8ToUtf16(std::string_view utf8) {
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
// Pieces

void MessageSink::addText(Pieces& pieces, int slot) {
    if (!textGiven(slot)) return;
    pieces.push_back(slots_[slot].text);
    lastArgument_ = slots_[slot].text;
}

// A number in a fixed count of digits, leading zeros included; higher digits do not fit and are dropped.
void MessageSink::addNumber(Pieces& pieces, int value, int digits) {
    unsigned remaining = value < 0 ? 0u : static_cast<unsigned>(value);
    std::u16string text(static_cast<size_t>(digits), u'0');
    for (int i = digits - 1; i >= 0; --i) {
        text[static_cast<size_t>(i)] = static_cast<char16_t>(u'0' + remaining % 10);
        remaining /= 10;
    }
    pieces.push_back(std::move(text));
}

void MessageSink::addLineNumber(Pieces& pieces, int value) {
    addNumber(pieces, value, kLineNumberDigits);
    lastNumber_ = value;
}

// The second line of the source-position errors and the tail of the parsing warnings: the element, the
// line number and the file, each only when given.
void MessageSink::layoutSourceLine(Pieces& pieces, int a, int b, int c) {
    if (textGiven(c)) {
        pieces.insert(pieces.end(), {kFiveBlanks, kOpenAngle});
        addText(pieces, c);
        pieces.push_back(kCloseAngle);
    }
    if (a != kNoArg) {
        pieces.insert(pieces.end(), {kFiveBlanks, kLinePrefix});
        addLineNumber(pieces, a);
    }
    if (textGiven(b)) {
        pieces.push_back(kInFile);
        addText(pieces, b);
    }
}

void MessageSink::layoutError(Pieces& pieces, int code, int a, int b, int c) {
    if (inRanges(code, {{172, 172}, {225, 225}, {234, 235}, {251, 272}})) {
        addText(pieces, a);
        a = b;
        b = c;
        c = kNoArg;
    }
    if (inRanges(code, {{117, 131}})) {
        if (textGiven(a)) {
            pieces.insert(pieces.end(), {kLineEnd, kFiveBlanks, kUrl});
            addText(pieces, a);
        }
    } else if (inRanges(code, {{2, 12}, {146, 153}, {174, 192}})) {
        if (textGiven(a)) {
            pieces.insert(pieces.end(), {kLineEnd, kFiveBlanks, kInFile});
            addText(pieces, a);
        }
    } else if (inRanges(code, {{18, 46}, {50, 59}, {65, 82}, {154, 163}, {193, 207}, {278, 284}})) {
        if (a != kNoArg || textGiven(b) || textGiven(c)) {
            pieces.push_back(kLineEnd);
            layoutSourceLine(pieces, a, b, c);
        }
    } else if (inRanges(code, {{266, 268}})) {
        if (textGiven(a)) {
            pieces.insert(pieces.end(), {kLineEnd, kFiveBlanks, kInPattern});
            addText(pieces, a);
        }
    }
}

bool MessageSink::layoutWarning(Pieces& pieces, int code, int a, int b, int c) {
    if (inRanges(code, {{3, 3}, {11, 12}})) {
        if (textGiven(a)) {
            pieces.insert(pieces.end(), {kSevenBlanks, kInFile});
            addText(pieces, a);
        }
    } else if (code == 6) {
        if (a != kNoArg) {
            if (a <= 1024) {
                addNumber(pieces, a, 7);
                pieces.push_back(kBytes);
            } else if (a < 1049600) {
                addNumber(pieces, a / 1024, 7);
                pieces.push_back(kKiloBytes);
            } else {
                addNumber(pieces, a / 1048576, 7);
                pieces.push_back(kMegaBytes);
            }
        }
        pieces.push_back(kTwoBlanks);
        if (b != kNoArg) {
            pieces.push_back(kPercent);
            addNumber(pieces, b, 3);
        }
    } else if (inRanges(code, {{7, 10}, {13, 25}, {29, 38}, {57, 60}, {68, 71}, {87, 100}})) {
        if (textGiven(c)) {
            if (inRanges(code, {{17, 20}})) {
                pieces.insert(pieces.end(), {kFiveBlanks, kOpenAngle});
                addText(pieces, c);
                pieces.push_back(kCloseAngle);
            } else {
                pieces.push_back(kLineEnd);
                addText(pieces, c);
            }
        }
        if (a != kNoArg) {
            pieces.insert(pieces.end(), {kSevenBlanks, kLinePrefix});
            addLineNumber(pieces, a);
        }
        if (textGiven(b)) {
            pieces.push_back(kInFile);
            addText(pieces, b);
        }
    } else if (inRanges(code, {{39, 43}})) {
        // Without its address the line stays open for the text that follows.
        if (!textGiven(a)) return false;
        pieces.insert(pieces.end(), {kSevenBlanks, kUrl});
        addText(pieces, a);
    } else if (inRanges(code, {{64, 67}, {72, 86}, {101, 106}, {108, 111}, {121, 121}, {123, 123}})) {
        if (textGiven(a)) {
            pieces.push_back(kTwoBlanks);
            addText(pieces, a);
        }
    } else if (code == 107) {
        if (textGiven(b)) {
            addText(pieces, b);
            pieces.push_back(kLineEnd);
        }
        if (textGiven(a)) {
            pieces.push_back(kInFile);
            addText(pieces, a);
        }
    } else if (code == 130) {
        addText(pieces, a);
        pieces.push_back(kLineEnd);
        if (textGiven(b)) {
            pieces.push_back(kFiveBlanks);
            addText(pieces, b);
        }
    } else if (code == 136) {
        if (textGiven(a)) {
            pieces.insert(pieces.end(), {kSevenBlanks, kSevenBlanks, kFiveBlanks});
            addText(pieces, a);
        }
    }
    return true;
}

void MessageSink::layoutInfo(Pieces& pieces, int code, int a, int b) {
    if (inRanges(code, {{1, 2}, {4, 10}, {20, 23}, {26, 29}, {33, 34}, {36, 36}, {39, 41}})) {
        if (textGiven(a)) {
            pieces.insert(pieces.end(), {kFiveBlanks, kUrl});
            addText(pieces, a);
        }
    } else if (inRanges(code, {{3, 3}, {13, 14}, {16, 17}, {19, 19}, {35, 35}, {51, 60}, {74, 75}})) {
        if (a != kNoArg) {
            pieces.push_back(kTwoBlanks);
            addLineNumber(pieces, a);
        }
    } else if (inRanges(code, {{11, 12}, {24, 25}, {31, 31}})) {
        pieces.insert(pieces.end(), {kOneBlank, kQuote});
        addText(pieces, a);
        pieces.push_back(kQuote);
    } else if (code == 15 || code == 18) {
        pieces.push_back(kTwoBlanks);
        if (a != kNoArg) addLineNumber(pieces, a);
        if (textGiven(b)) {
            pieces.push_back(code == 15 ? kIndexName : kKeyType);
            addText(pieces, b);
        }
    } else if (code == 30 || code == 63) {
        pieces.push_back(kTwoBlanks);
        addNumber(pieces, a, 3);
        pieces.push_back(kDot);
        addNumber(pieces, b, 2);
        pieces.push_back(kPercent);
    } else if (code == 32) {
        if (a >= 0 && a <= 9) addNumber(pieces, a, 1);
    } else if (code == 37 || code == 38) {
        addText(pieces, a);
    } else if (inRanges(code, {{42, 50}, {64, 64}})) {
        pieces.push_back(kTwoBlanks);
        addNumber(pieces, a, 9);
        pieces.push_back(kBytes);
        addNumber(pieces, b, 9);
        pieces.push_back(code == 64 ? kEntries : kRecords);
    } else if (code == 79) {
        addText(pieces, a);
        if (textGiven(b)) {
            pieces.push_back(kPlugin);
            addText(pieces, b);
        }
    } else if (code == 80) {
        addText(pieces, a);
        pieces.push_back(kLineEnd);
        if (textGiven(b)) {
            pieces.push_back(kFiveBlanks);
            addText(pieces, b);
        }
    }
}

// ---------------------------------------------------------------------------------------------------------
// Raising messages

void MessageSink::error(int code, int a, int b, int c) {
    if (!enabled_ || code < 0 || code > kLastErrorCode || errorFiltered(code)) return;
    std::unique_lock lock(mutex_, kLockWait);
    if (!lock.owns_lock()) return;
    try {
        Pieces pieces;
        if (inRanges(code, {{117, 131}})) pieces.push_back(kInternetError);
        pieces.push_back(utf8ToUtf16(errorText(code)));
        layoutError(pieces, code, a, b, c);
        pieces.push_back(kLineEnd);
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
        Pieces pieces{utf8ToUtf16(warningText(code))};
        if (layoutWarning(pieces, code, a, b, c)) pieces.push_back(kLineEnd);
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
        Pieces pieces{utf8ToUtf16(infoText(code))};
        layoutInfo(pieces, code, a, b);
        pieces.push_back(kLineEnd);
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

}  // namespace qp
