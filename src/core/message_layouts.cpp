// SPDX-License-Identifier: GPL-3.0-or-later
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

using Pieces = std::vector<std::u16string>;

void addText(Pieces& pieces, const MessageText& text) {
    if (text.given()) pieces.push_back(text.text());
}

// A number in a fixed count of digits, leading zeros included; higher digits do not fit and are dropped.
void addNumber(Pieces& pieces, int value, int digits) {
    unsigned remaining = value < 0 ? 0u : static_cast<unsigned>(value);
    std::u16string text(static_cast<size_t>(digits), u'0');
    for (int i = digits - 1; i >= 0; --i) {
        text[static_cast<size_t>(i)] = static_cast<char16_t>(u'0' + remaining % 10);
        remaining /= 10;
    }
    pieces.push_back(std::move(text));
}

void addLineNumber(Pieces& pieces, int value) { addNumber(pieces, value, kLineNumberDigits); }

// The second line of the source-position errors: the element, the line number and the file, each only when
// given.
void layOutSourceLine(Pieces& pieces, int line, const MessageText& file, const MessageText& element) {
    if (element.given()) {
        pieces.insert(pieces.end(), {kFiveBlanks, kOpenAngle});
        addText(pieces, element);
        pieces.push_back(kCloseAngle);
    }
    if (line != kNoNumber) {
        pieces.insert(pieces.end(), {kFiveBlanks, kLinePrefix});
        addLineNumber(pieces, line);
    }
    if (file.given()) {
        pieces.push_back(kInFile);
        addText(pieces, file);
    }
}

// The line number and file of a parsing warning.
void layOutSourcePosition(Pieces& pieces, int line, const MessageText& file) {
    if (line != kNoNumber) {
        pieces.insert(pieces.end(), {kSevenBlanks, kLinePrefix});
        addLineNumber(pieces, line);
    }
    if (file.given()) {
        pieces.push_back(kInFile);
        addText(pieces, file);
    }
}

}  // namespace

std::vector<std::u16string> layOutMessage(const MessageRow& row, const MessageArguments& arguments) {
    const int a = arguments.number(0);
    const int b = arguments.number(1);
    const MessageText& textA = arguments.text(0);
    const MessageText& textB = arguments.text(1);
    const MessageText& textC = arguments.text(2);
    Pieces pieces{utf8ToUtf16(row.text)};
    switch (row.layout) {
        case MessageLayout::Plain: break;
        case MessageLayout::ArgumentAfterText: addText(pieces, textA); break;
        case MessageLayout::FileLine:
            if (textA.given()) {
                pieces.insert(pieces.end(), {kLineEnd, kFiveBlanks, kInFile});
                addText(pieces, textA);
            }
            break;
        case MessageLayout::SourceLine:
            if (a != kNoNumber || textB.given() || textC.given()) {
                pieces.push_back(kLineEnd);
                layOutSourceLine(pieces, a, textB, textC);
            }
            break;
        case MessageLayout::InFile:
            if (textA.given()) {
                pieces.insert(pieces.end(), {kSevenBlanks, kInFile});
                addText(pieces, textA);
            }
            break;
        case MessageLayout::SourcePosition:
            if (textC.given()) {
                pieces.push_back(kLineEnd);
                addText(pieces, textC);
            }
            layOutSourcePosition(pieces, a, textB);
            break;
        case MessageLayout::Argument:
            if (textA.given()) {
                pieces.push_back(kTwoBlanks);
                addText(pieces, textA);
            }
            break;
        case MessageLayout::ArgumentInFile:
            if (textB.given()) {
                addText(pieces, textB);
                pieces.push_back(kLineEnd);
            }
            if (textA.given()) {
                pieces.push_back(kInFile);
                addText(pieces, textA);
            }
            break;
        case MessageLayout::Url:
            if (textA.given()) {
                pieces.insert(pieces.end(), {kFiveBlanks, kUrl});
                addText(pieces, textA);
            }
            break;
        case MessageLayout::Number:
            if (a != kNoNumber) {
                pieces.push_back(kTwoBlanks);
                addLineNumber(pieces, a);
            }
            break;
        case MessageLayout::Quoted:
            pieces.insert(pieces.end(), {kOneBlank, kQuote});
            addText(pieces, textA);
            pieces.push_back(kQuote);
            break;
        case MessageLayout::NumberIndexName:
        case MessageLayout::NumberKeyType:
            pieces.push_back(kTwoBlanks);
            if (a != kNoNumber) addLineNumber(pieces, a);
            if (textB.given()) {
                pieces.push_back(row.layout == MessageLayout::NumberIndexName ? kIndexName : kKeyType);
                addText(pieces, textB);
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
    return pieces;
}

}  // namespace qp
