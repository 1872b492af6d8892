// SPDX-License-Identifier: GPL-3.0-or-later
#include "markup/node_selector.h"

#include <optional>
#include <string>

#include "markup/xml_parser_text.h"

namespace qp {

namespace {

struct Predicate {
    std::string_view attribute;
    std::string_view value;
    bool notEqual = false;
};

struct Step {
    bool attribute = false;  // @name: selects attribute nodes
    std::string_view name;
    std::vector<Predicate> predicates;
};

struct Request {
    bool absolute = false;
    std::vector<Step> steps;
};

// Reads a request; nothing when it is malformed.
class RequestReader {
public:
    explicit RequestReader(std::string_view text) : text_(text) {}

    std::optional<Request> read() {
        Request request;
        skipBlanks();
        if (peek('/')) {
            request.absolute = true;
            ++p_;
        }
        for (;;) {
            std::optional<Step> step = readStep();
            if (!step) return std::nullopt;
            request.steps.push_back(*step);
            skipBlanks();
            if (p_ == text_.size()) break;
            if (!peek('/') || step->attribute) return std::nullopt;  // an attribute step ends the request
            ++p_;
        }
        return request;
    }

private:
    static bool isNameChar(char c) {
        return !isBlank(c) && c != '/' && c != '[' && c != ']' && c != '@' && c != '=' && c != '!' && c != '\'' &&
               c != '"';
    }
    bool peek(char c) const { return p_ < text_.size() && text_[p_] == c; }
    void skipBlanks() {
        while (p_ < text_.size() && isBlank(text_[p_])) ++p_;
    }
    std::string_view readName() {
        size_t begin = p_;
        while (p_ < text_.size() && isNameChar(text_[p_])) ++p_;
        return text_.substr(begin, p_ - begin);
    }

    std::optional<Step> readStep() {
        Step step;
        skipBlanks();
        if (peek('@')) {
            step.attribute = true;
            ++p_;
        }
        step.name = readName();
        if (step.name.empty()) return std::nullopt;
        while (!step.attribute && peek('[')) {
            std::optional<Predicate> predicate = readPredicate();
            if (!predicate) return std::nullopt;
            step.predicates.push_back(*predicate);
        }
        return step;
    }

    std::optional<Predicate> readPredicate() {
        Predicate predicate;
        ++p_;  // '['
        skipBlanks();
        if (!peek('@')) return std::nullopt;
        ++p_;
        predicate.attribute = readName();
        if (predicate.attribute.empty()) return std::nullopt;
        skipBlanks();
        if (peek('!')) {
            predicate.notEqual = true;
            ++p_;
        }
        if (!peek('=')) return std::nullopt;
        ++p_;
        skipBlanks();
        if (!peek('\'') && !peek('"')) return std::nullopt;
        size_t close = text_.find(text_[p_], p_ + 1);
        if (close == std::string_view::npos) return std::nullopt;
        predicate.value = text_.substr(p_ + 1, close - p_ - 1);
        p_ = close + 1;
        skipBlanks();
        if (!peek(']')) return std::nullopt;
        ++p_;
        return predicate;
    }

    std::string_view text_;
    size_t p_ = 0;
};

bool satisfies(const XmlParser& document, NodeIndex element, const Predicate& predicate) {
    NodeIndex attribute = document.findAttribute(element, predicate.attribute);
    if (attribute == kNoNode) return false;
    bool equal = equalsCaseBlind(decodeEntities(document.rawText(attribute)), predicate.value);
    return equal != predicate.notEqual;
}

bool matches(const XmlParser& document, NodeIndex node, const Step& step) {
    NodeKind wanted = step.attribute ? NodeKind::Attribute : NodeKind::Element;
    if (document.kind(node) != wanted || !document.hasName(node, step.name)) return false;
    for (const Predicate& predicate : step.predicates) {
        if (!satisfies(document, node, predicate)) return false;
    }
    return true;
}

}  // namespace

std::vector<NodeIndex> NodeSelector::select(std::string_view text, NodeIndex context) {
    std::optional<Request> request = RequestReader(text).read();
    if (!request) {
        report(*this, ErrorCode::BadNodeRequest);
        return {};
    }
    std::vector<NodeIndex> current{request->absolute ? 0 : context};
    if (!document_.exists(current.front())) return {};
    for (const Step& step : request->steps) {
        std::vector<NodeIndex> found;
        for (NodeIndex node : current) {
            for (NodeIndex child = document_.firstChild(node); child != kNoNode; child = document_.nextSibling(child)) {
                if (matches(document_, child, step)) found.push_back(child);
            }
        }
        current = std::move(found);
        if (current.empty()) break;
    }
    return current;
}

NodeIndex NodeSelector::selectOne(std::string_view request, NodeIndex context) {
    std::vector<NodeIndex> found = select(request, context);
    if (found.empty()) return kNoNode;
    if (found.size() > 1) report(*this, WarningCode::SeveralNodes);
    return found.front();
}

}  // namespace qp
