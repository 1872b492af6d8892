// SPDX-License-Identifier: GPL-3.0-or-later
#include "preview_pages.h"

#include <algorithm>
#include <numeric>
#include <ostream>
#include <string_view>
#include <unordered_map>

#include "html_text.h"
#include "text_encoding.h"

namespace kova {

namespace {

std::string anchorId(uint64_t position) { return "p" + std::to_string(position); }

// An element open at the current place, with what is needed to open it again on the next page.
struct OpenElement {
    std::string name;
    std::string attributes;
    std::optional<uint64_t> target;
};

class PageRenderer {
public:
    PageRenderer(const Book& book, std::vector<uint64_t> targets, std::optional<uint64_t> startReading,
                 const std::vector<PreviewImage>& images)
        : text_(reinterpret_cast<const char*>(book.text().data()), book.text().size()),
          encoding_(book.kova().textEncoding), targets_(std::move(targets)), startReading_(startReading),
          images_(images) {
        addLinkTargets();
        std::sort(targets_.begin(), targets_.end());
        targets_.erase(std::unique(targets_.begin(), targets_.end()), targets_.end());
    }

    PreviewText render() {
        const size_t body = readHead();
        startFile(body);
        size_t at = body;
        while (at < text_.size()) {
            const size_t open = std::min(text_.find('<', at), text_.size());
            writeText(at, open);
            if (open == text_.size()) break;
            const std::optional<MarkupTag> tag = readMarkupTag(text_, open);
            if (!tag) {
                writeText(open, open + 1);
                at = open + 1;
                continue;
            }
            at = handleTag(open, *tag);
        }
        anchorsBefore(UINT64_MAX);
        closeAll();
        endFile();
        return std::move(result_);
    }

private:
    // Every filepos value of the text is a target, so that each link finds its anchor.
    void addLinkTargets() {
        constexpr std::string_view attribute = "filepos=";
        for (size_t at = text_.find(attribute); at != std::string_view::npos; at = text_.find(attribute, at + 1)) {
            const size_t digits = at + attribute.size();
            size_t end = digits;
            while (end < text_.size() && end - digits < 10 && text_[end] >= '0' && text_[end] <= '9') ++end;
            if (const auto target = fileposTarget(text_.substr(digits, end - digits))) targets_.push_back(*target);
        }
    }

    // The guide of the head; returns where the body's content begins (0 when the text has no <body>).
    size_t readHead() {
        for (size_t at = text_.find('<'); at != std::string_view::npos; at = text_.find('<', at + 1)) {
            const std::optional<MarkupTag> tag = readMarkupTag(text_, at);
            if (!tag || tag->kind != MarkupTag::Kind::start) continue;
            if (tag->name == "body") return tag->end;
            if (tag->name != "reference") continue;
            GuideReference reference;
            reference.title = utf8FromTextEncoding(tag->attribute("title").value_or(""), encoding_);
            reference.type = utf8FromTextEncoding(tag->attribute("type").value_or(""), encoding_);
            if (const auto filepos = tag->attribute("filepos")) reference.target = fileposTarget(*filepos);
            if (const auto href = tag->attribute("href"); href && href->starts_with('$'))
                if (const PreviewImage* image = imageRecord(href->substr(1), images_))
                    reference.imageFile = image->file;
            result_.guide.push_back(std::move(reference));
        }
        return 0;
    }

    size_t handleTag(size_t at, const MarkupTag& tag) {
        if (tag.kind == MarkupTag::Kind::skipped) {
            anchorsBefore(tag.end);
            return tag.end;
        }
        const PreviewElement& element = elementOf(tag);
        if (tag.kind == MarkupTag::Kind::end) {
            anchorsBefore(tag.end);
            if (element.role == ElementRole::container) close(element.name);
            return tag.end;
        }
        switch (element.role) {
            case ElementRole::pageBreak:
                // Whatever points at the break opens the page after it.
                if (pageHasContent_) {
                    if (at - fileStart_ >= kChapterBytes)
                        nextFile(at);
                    else
                        nextPage();
                }
                anchorsBefore(tag.end);
                return tag.end;
            case ElementRole::droppedWhole: return skipWhole(tag);
            case ElementRole::dropped: anchorsBefore(tag.end); return tag.end;
            case ElementRole::container:
            case ElementRole::empty: break;
        }
        const size_t filled = at - fileStart_;
        if ((filled >= kFileBytes && open_.empty()) || filled >= kFileBytesAtMost) nextFile(at);
        std::optional<uint64_t> id;
        if (nextTarget_ < targets_.size() && targets_[nextTarget_] == at && at != startReading_) {
            id = at;
            ++nextTarget_;
        }
        anchorsBefore(tag.end);
        if (element.role == ElementRole::empty) {
            writeStartTag({element.name, element.attributes, element.target}, id);
            if (element.name == "span") writeEndTag(element.name);
        } else {
            closeImpliedBy(element.name);
            OpenElement opened{element.name, element.attributes, element.target};
            writeStartTag(opened, id);
            if (tag.selfClosing)
                writeEndTag(element.name);
            else
                open_.push_back(std::move(opened));
        }
        pageHasContent_ = true;
        return tag.end;
    }

    // What the element maps to; one without attributes, as most tags of a large book are, is mapped once.
    const PreviewElement& elementOf(const MarkupTag& tag) {
        if (!tag.attributes.empty()) return element_ = previewElement(tag, images_);
        const auto [known, added] = elementsByName_.try_emplace(tag.name);
        if (added) known->second = previewElement(tag, images_);
        return known->second;
    }

    // Skips the element and its content up to its end tag (case-blind); anchors inside it stand before it.
    size_t skipWhole(const MarkupTag& tag) {
        size_t end = tag.end;
        if (!tag.selfClosing) {
            for (size_t at = text_.find("</", tag.end); at != std::string_view::npos; at = text_.find("</", at + 2)) {
                const std::optional<MarkupTag> close = readMarkupTag(text_, at);
                if (close && close->kind == MarkupTag::Kind::end && close->name == tag.name) {
                    end = close->end;
                    break;
                }
            }
            if (end == tag.end) end = text_.size();
        }
        anchorsBefore(end);
        return end;
    }

    // Text between tags, with the anchors of the positions inside it; an anchor inside a UTF-8 character
    // moves to the character's end.
    void writeText(size_t from, size_t to) {
        while (nextTarget_ < targets_.size() && targets_[nextTarget_] < to) {
            size_t at = std::max<uint64_t>(targets_[nextTarget_], from);
            if (encoding_ == codePageUtf8)
                while (at < to && (static_cast<uint8_t>(text_[at]) & 0xC0) == 0x80) ++at;
            appendText(from, at);
            from = at;
            anchorsBefore(std::min(at + 1, to));
        }
        appendText(from, to);
    }

    void appendText(size_t from, size_t to) {
        if (from >= to) return;
        const std::string_view part = text_.substr(from, to - from);
        if (!pageHasContent_) pageHasContent_ = part.find_first_not_of(" \t\r\n") != std::string_view::npos;
        appendHtmlText(file().html, part, encoding_);
    }

    // Empty spans for every target before `end` not yet placed.
    void anchorsBefore(uint64_t end) {
        while (nextTarget_ < targets_.size() && targets_[nextTarget_] < end) {
            const uint64_t target = targets_[nextTarget_++];
            result_.anchors.emplace_back(target, result_.files.size() - 1);
            std::string& html = file().html;
            html += "<span id=\"p";
            html += std::to_string(target);
            html +=
                target == startReading_ ? "\" class=\"start-reading\" title=\"Start reading\"></span>" : "\"></span>";
        }
    }

    void writeStartTag(const OpenElement& element, std::optional<uint64_t> id) {
        std::string& html = file().html;
        html += '<';
        html += element.name;
        if (id) {
            html += " id=\"p";
            html += std::to_string(*id);
            html += '"';
            result_.anchors.emplace_back(*id, result_.files.size() - 1);
        }
        if (element.target) {
            html += " href=\"";
            file().links.push_back({html.size(), *element.target});
            html += "\"";
        }
        html += element.attributes;
        html += '>';
    }

    void writeEndTag(const std::string& name) {
        std::string& html = file().html;
        html += "</";
        html += name;
        html += '>';
    }

    void close(const std::string& name) {
        for (size_t i = open_.size(); i-- > 0;) {
            if (open_[i].name != name) continue;
            while (open_.size() > i) {
                writeEndTag(open_.back().name);
                open_.pop_back();
            }
            return;
        }
    }

    void closeImpliedBy(const std::string& opening) {
        for (size_t i = open_.size(); i-- > 0;) {
            if (endsAt(open_[i].name, opening)) {
                close(open_[i].name);
                return;
            }
            if (scopesImpliedEnds(open_[i].name, opening)) return;
        }
    }

    void closeAll() {
        for (auto it = open_.rbegin(); it != open_.rend(); ++it) writeEndTag(it->name);
    }

    void reopenAll() {
        for (const OpenElement& element : open_) writeStartTag(element, std::nullopt);
    }

    void startFile(size_t start) {
        result_.files.emplace_back();
        file().html.reserve(kFileBytes + kFileBytes / 2);
        fileStart_ = start;
        file().html += "<section class=\"page\">";
        file().pages = 1;
        pageHasContent_ = false;
    }

    void endFile() { file().html += "</section>\n"; }

    void nextPage() {
        closeAll();
        file().html += "</section>\n<section class=\"page\">";
        ++file().pages;
        reopenAll();
        pageHasContent_ = false;
    }

    void nextFile(size_t at) {
        closeAll();
        endFile();
        startFile(at);
        reopenAll();
    }

    PreviewFile& file() { return result_.files.back(); }

    std::string_view text_;
    uint32_t encoding_;
    std::vector<uint64_t> targets_;
    std::optional<uint64_t> startReading_;
    const std::vector<PreviewImage>& images_;
    size_t nextTarget_ = 0;
    std::vector<OpenElement> open_;
    std::unordered_map<std::string, PreviewElement> elementsByName_;
    PreviewElement element_;
    size_t fileStart_ = 0;
    bool pageHasContent_ = false;
    PreviewText result_;
};

}  // namespace

size_t PreviewText::fileOfAnchor(Anchor anchor, uint64_t target) const {
    return anchor != anchors.end() && anchor->first == target ? anchor->second : files.size() - 1;
}

size_t PreviewText::fileOf(uint64_t target) const {
    return fileOfAnchor(std::lower_bound(anchors.begin(), anchors.end(), target,
                                         [](const std::pair<uint64_t, size_t>& a, uint64_t t) { return a.first < t; }),
                        target);
}

std::vector<size_t> PreviewText::filesOf(const std::vector<uint64_t>& targets) const {
    std::vector<size_t> order(targets.size());
    std::iota(order.begin(), order.end(), size_t{0});
    std::sort(order.begin(), order.end(), [&](size_t a, size_t b) { return targets[a] < targets[b]; });
    std::vector<size_t> found(targets.size());
    Anchor anchor = anchors.begin();
    for (size_t i : order) {
        while (anchor != anchors.end() && anchor->first < targets[i]) ++anchor;
        found[i] = fileOfAnchor(anchor, targets[i]);
    }
    return found;
}

std::string previewFileName(size_t n) {
    std::string number = std::to_string(n + 1);
    if (number.size() < 4) number.insert(0, 4 - number.size(), '0');
    return "part" + number + ".html";
}

PreviewText renderPreviewText(const Book& book, std::vector<uint64_t> targets, std::optional<uint64_t> startReading,
                              const std::vector<PreviewImage>& images) {
    return PageRenderer(book, std::move(targets), startReading, images).render();
}

void writeLinkedHtml(const PreviewText& text, const PreviewFile& file, std::ostream& out) {
    size_t at = 0;
    for (const PreviewLink& link : file.links) {
        out.write(file.html.data() + at, static_cast<std::streamsize>(link.offset - at));
        out << previewFileName(text.fileOf(link.target)) << '#' << anchorId(link.target);
        at = link.offset;
    }
    out.write(file.html.data() + at, static_cast<std::streamsize>(file.html.size() - at));
}

}  // namespace kova
