// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The arguments of a message: the texts and numbers its line carries after the catalogue text. Each code's
// layout fixes how many it takes and of which kind; `Message` checks a call against that layout while the
// program is compiled, so a number passed where a text belongs (or one argument too many) does not build.
#include <array>
#include <concepts>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>

#include "core/message_catalogue.h"

namespace qp {

class String;

// An absent number argument: its pieces are left out of the line.
constexpr int kNoNumber = -1;

// A number argument.
struct MessageNumber {
    template <std::integral Integer>
    requires(!std::same_as<Integer, bool>) constexpr MessageNumber(Integer number) : value(static_cast<int>(number)) {}

    int value;
};

// A text argument, held as UTF-16 and cut to its first kMaxChars characters; absent when made from
// std::nullopt (an empty text is given, and prints its pieces). Copies share the text.
class MessageText {
public:
    static constexpr size_t kMaxChars = 299;

    MessageText(std::nullopt_t) {}
    MessageText(const String& text);
    MessageText(std::string_view utf8);
    MessageText(const std::string& utf8) : MessageText(std::string_view(utf8)) {}
    MessageText(const char* utf8) : MessageText(std::string_view(utf8)) {}
    MessageText(std::u16string text);

    bool given() const { return text_ != nullptr; }
    // The text; empty when absent.
    const std::u16string& text() const;

private:
    std::shared_ptr<const std::u16string> text_;
};

// The kind a call's argument stands for; void when it is neither a number nor a text.
template <typename Argument>
using MessageArgumentKind =
    std::conditional_t<std::is_convertible_v<Argument, MessageNumber>, MessageNumber,
                       std::conditional_t<std::is_convertible_v<Argument, MessageText>, MessageText, void>>;

// The kinds of the arguments a layout takes, in order (a, b, c).
enum class ArgumentKind : uint8_t { Number, Text };
struct LayoutArguments {
    size_t count = 0;
    std::array<ArgumentKind, 3> kinds{};
};

constexpr LayoutArguments layoutArguments(MessageLayout layout) {
    using enum ArgumentKind;
    switch (layout) {
        case MessageLayout::Plain: return {};
        case MessageLayout::ArgumentAfterText:
        case MessageLayout::FileLine:
        case MessageLayout::InFile:
        case MessageLayout::Argument:
        case MessageLayout::Url:
        case MessageLayout::Quoted: return {1, {Text}};
        case MessageLayout::SourceLine:
        case MessageLayout::SourcePosition: return {3, {Number, Text, Text}};
        case MessageLayout::ArgumentInFile: return {2, {Text, Text}};
        case MessageLayout::Number:
        case MessageLayout::Digit: return {1, {Number}};
        case MessageLayout::NumberIndexName:
        case MessageLayout::NumberKeyType: return {2, {Number, Text}};
        case MessageLayout::Percent:
        case MessageLayout::BytesRecords:
        case MessageLayout::BytesEntries: return {2, {Number, Number}};
    }
    return {};
}

template <typename Kind>
constexpr bool isKind(ArgumentKind kind) {
    if constexpr (std::same_as<Kind, MessageNumber>) return kind == ArgumentKind::Number;
    if constexpr (std::same_as<Kind, MessageText>) return kind == ArgumentKind::Text;
    return false;
}

// Reached only while compiling a call whose arguments the code's layout does not take; being no constant
// expression, it stops the build there.
void argumentsDoNotMatchTheLayoutOfThisCode();

// A message code checked against the kinds of the arguments that go with it. Made only from a code known
// when the program is compiled.
template <typename... Kinds>
class Message {
public:
    template <typename Code>
    requires std::convertible_to<Code, MessageCode>
    consteval Message(Code code) : code_(code) {
        const MessageRow* row = messageRow(code_);
        if (!row) argumentsDoNotMatchTheLayoutOfThisCode();
        const LayoutArguments takes = layoutArguments(row->layout);
        if (sizeof...(Kinds) > takes.count) argumentsDoNotMatchTheLayoutOfThisCode();
        size_t position = 0;
        if (!(isKind<Kinds>(takes.kinds[position++]) && ...)) argumentsDoNotMatchTheLayoutOfThisCode();
    }

    constexpr MessageCode code() const { return code_; }

private:
    MessageCode code_;
};

// The message that goes with a call's arguments.
template <typename... Arguments>
using MessageFor = std::type_identity_t<Message<MessageArgumentKind<Arguments>...>>;

// The arguments as a sink receives them: each position a number or a text, absent unless given.
struct MessageArguments {
    template <typename... Arguments>
    requires(!std::is_void_v<MessageArgumentKind<Arguments>> &&
             ...) explicit MessageArguments(Arguments&&... arguments) {
        size_t position = 0;
        (put(position++, MessageArgumentKind<Arguments>(std::forward<Arguments>(arguments))), ...);
    }

    int number(size_t position) const { return numbers[position]; }
    const MessageText& text(size_t position) const { return texts[position]; }

    std::array<int, 3> numbers{kNoNumber, kNoNumber, kNoNumber};
    std::array<MessageText, 3> texts{std::nullopt, std::nullopt, std::nullopt};

private:
    void put(size_t position, MessageNumber number) { numbers[position] = number.value; }
    void put(size_t position, MessageText text) { texts[position] = std::move(text); }
};

}  // namespace qp
