// The layout of each message line: the code's text, its arguments in the pieces fixed per code, and the
// line end.
#include "core/message_sink.h"
#include "core/unicode.h"

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
constexpr char16_t kPercent[] = u"%";
constexpr char16_t kDot[] = u".";
constexpr char16_t kBytes[] = u" bytes ";
constexpr char16_t kEntries[] = u" entries ";
constexpr char16_t kRecords[] = u" records ";
constexpr char16_t kQuote[] = u"\"";
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

// The line number and file of a parsing warning.
void MessageSink::layoutSourcePosition(Pieces& pieces, int a, int b) {
    if (a != kNoArg) {
        pieces.insert(pieces.end(), {kSevenBlanks, kLinePrefix});
        addLineNumber(pieces, a);
    }
    if (textGiven(b)) {
        pieces.push_back(kInFile);
        addText(pieces, b);
    }
}

void MessageSink::layout(Pieces& pieces, const MessageRow& row, int a, int b, int c) {
    pieces.push_back(utf8ToUtf16(row.text));
    switch (row.layout) {
        case MessageLayout::Plain: break;
        case MessageLayout::ArgumentAfterText: addText(pieces, a); break;
        case MessageLayout::FileLine:
            if (textGiven(a)) {
                pieces.insert(pieces.end(), {kLineEnd, kFiveBlanks, kInFile});
                addText(pieces, a);
            }
            break;
        case MessageLayout::SourceLine:
            if (a != kNoArg || textGiven(b) || textGiven(c)) {
                pieces.push_back(kLineEnd);
                layoutSourceLine(pieces, a, b, c);
            }
            break;
        case MessageLayout::InFile:
            if (textGiven(a)) {
                pieces.insert(pieces.end(), {kSevenBlanks, kInFile});
                addText(pieces, a);
            }
            break;
        case MessageLayout::SourcePosition:
            if (textGiven(c)) {
                pieces.push_back(kLineEnd);
                addText(pieces, c);
            }
            layoutSourcePosition(pieces, a, b);
            break;
        case MessageLayout::Argument:
            if (textGiven(a)) {
                pieces.push_back(kTwoBlanks);
                addText(pieces, a);
            }
            break;
        case MessageLayout::ArgumentInFile:
            if (textGiven(b)) {
                addText(pieces, b);
                pieces.push_back(kLineEnd);
            }
            if (textGiven(a)) {
                pieces.push_back(kInFile);
                addText(pieces, a);
            }
            break;
        case MessageLayout::Url:
            if (textGiven(a)) {
                pieces.insert(pieces.end(), {kFiveBlanks, kUrl});
                addText(pieces, a);
            }
            break;
        case MessageLayout::Number:
            if (a != kNoArg) {
                pieces.push_back(kTwoBlanks);
                addLineNumber(pieces, a);
            }
            break;
        case MessageLayout::Quoted:
            pieces.insert(pieces.end(), {kOneBlank, kQuote});
            addText(pieces, a);
            pieces.push_back(kQuote);
            break;
        case MessageLayout::NumberIndexName:
        case MessageLayout::NumberKeyType:
            pieces.push_back(kTwoBlanks);
            if (a != kNoArg) addLineNumber(pieces, a);
            if (textGiven(b)) {
                pieces.push_back(row.layout == MessageLayout::NumberIndexName ? kIndexName : kKeyType);
                addText(pieces, b);
            }
            break;
        case MessageLayout::Percent:
            pieces.push_back(kTwoBlanks);
            addNumber(pieces, a, 3);
            pieces.push_back(kDot);
            addNumber(pieces, b, 2);
            pieces.push_back(kPercent);
            break;
        case MessageLayout::Digit:
            if (a >= 0 && a <= 9) addNumber(pieces, a, 1);
            break;
        case MessageLayout::BytesRecords:
        case MessageLayout::BytesEntries:
            pieces.push_back(kTwoBlanks);
            addNumber(pieces, a, 9);
            pieces.push_back(kBytes);
            addNumber(pieces, b, 9);
            pieces.push_back(row.layout == MessageLayout::BytesEntries ? kEntries : kRecords);
            break;
    }
    pieces.push_back(kLineEnd);
}

}  // namespace qp
