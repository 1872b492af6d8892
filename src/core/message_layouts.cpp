// The layout of each message line: the code's text, its arguments in the pieces fixed per code, and the
// line end.
#include "core/message_layout.h"
#include "core/message_sink.h"

namespace qp {

using messages::inRanges;
using messages::utf8ToUtf16;

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

}  // namespace

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
    if (inRanges(code, {{117, 131}})) pieces.push_back(kInternetError);
    pieces.push_back(utf8ToUtf16(errorText(code)));
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
    pieces.push_back(kLineEnd);
}

void MessageSink::layoutWarning(Pieces& pieces, int code, int a, int b, int c) {
    pieces.push_back(utf8ToUtf16(warningText(code)));
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
        if (!textGiven(a)) return;
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
    pieces.push_back(kLineEnd);
}

void MessageSink::layoutInfo(Pieces& pieces, int code, int a, int b) {
    pieces.push_back(utf8ToUtf16(infoText(code)));
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
    pieces.push_back(kLineEnd);
}

}  // namespace qp
