// SPDX-License-Identifier: GPL-3.0-or-later
#include "convert/link_table.h"

#include <array>
#include <cstdio>

#include "convert/media_table.h"
#include "convert/text_stream.h"
#include "core/ascii_text.h"
#include "core/message_sink.h"
#include "markup/xml_parser_text.h"

namespace qp {

namespace {

constexpr std::array kOutsideSchemes = {"http:", "https:", "ftp:", "gopher:", "oeb:", "news:", "mailto:"};
constexpr std::array kRecordExtensions = {"asp", "gif", "jpg", "jpeg", "bmp", "png"};

constexpr std::string_view kFileposPlaceholder = " filepos=XXXXXXXXXX ";
constexpr size_t kFileposDigitsOffset = 9;
constexpr std::string_view kRecordLinkPlaceholder = " href=\"$XXXXX\"";
constexpr size_t kRecordLinkDigitsOffset = 8;
constexpr size_t kPositionDigits = 10;
constexpr size_t kRecordDigits = 5;

bool isOutsideLink(std::string_view href) {
    for (std::string_view scheme : kOutsideSchemes) {
        if (startsWithCaseBlind(href, scheme)) return true;
    }
    return false;
}

// The extension of the path part (before any "#" or "?") names a file that becomes a record.
bool isRecordTarget(std::string_view href) {
    std::string_view path = href.substr(0, href.find_first_of("#?"));
    size_t slash = path.find_last_of("/\\");
    std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    size_t dot = name.rfind('.');
    if (dot == std::string_view::npos) return false;
    std::string_view extension = name.substr(dot + 1);
    for (std::string_view known : kRecordExtensions) {
        if (equalsCaseBlind(extension, known)) return true;
    }
    return false;
}

std::string zeroPadded(uint64_t value, size_t digits) {
    std::array<char, 24> text{};
    std::snprintf(text.data(), text.size(), "%0*llu", static_cast<int>(digits), static_cast<unsigned long long>(value));
    return std::string(text.data());
}

std::string targetText(const LinkTarget& target) {
    return target.fragment.empty() ? target.file : target.file + "#" + target.fragment;
}

}  // namespace

std::string LinkTable::anchorKey(std::string_view file, std::string_view name) {
    std::string key(file);
    key.push_back('#');
    key.append(name);
    return key;
}

void LinkTable::registerFileStart(std::string_view file, uint64_t position) {
    anchors_.try_emplace(anchorKey(normalizer_.normalizePath(file), {}), position);
}

void LinkTable::registerAnchor(std::string_view file, std::string_view name, uint64_t position, bool external) {
    if (name.starts_with('#')) name.remove_prefix(1);
    if (name.empty()) return;
    const std::string normalFile = normalizer_.normalizePath(file);
    anchors_.try_emplace(anchorKey(normalFile, name), position);
    if (!external) return;
    if (!externalAnchors_.try_emplace(std::string(name), position).second) {
        report(faults_, WarningCode::ExternalAnchorRedefined, normalFile, name);
    }
}

bool LinkTable::isNewAnchor(std::string_view file, std::string_view name, bool external) {
    if (name.starts_with('#')) name.remove_prefix(1);
    if (name.empty()) return false;
    return !anchors_.contains(anchorKey(normalizer_.normalizePath(file), name)) ||
           (external && !externalAnchors_.contains(std::string(name)));
}

int32_t LinkTable::registerMedia(MediaTable& media, const std::string& path, bool picture) {
    // A picture is known by its content, whatever its name ends in ("photo.jfif"); what turns out not to be
    // one gets a warning naming it.
    int32_t record = picture ? media.registerFile(path, "image/") : media.registerFile(path);
    // A picture that is missing or unusable is shown as the built-in placeholder, so that no image reference
    // dangles; a full table is an error of its own and gets nothing.
    if (record < 0 && picture && !media.failed()) record = media.registerPlaceholder(path);
    absorbFaults(faults_, media);
    media.lastError = ErrorCode::None;
    media.lastWarning = WarningCode::None;
    return record;
}

bool LinkTable::rewriteHref(TextStream& stream, MediaTable& media, std::string_view file, std::string_view href,
                            bool global) {
    if (isOutsideLink(href)) return true;
    LinkTarget target = normalizer_.target(file, href);
    const uint64_t start = stream.position();
    if (isRecordTarget(href)) {
        if (registerMedia(media, target.file, false) < 0) return false;
        records_.push_back({start + kRecordLinkDigitsOffset, target.file});
        stream.write(kRecordLinkPlaceholder);
        return false;
    }
    links_.push_back({start + kFileposDigitsOffset, std::move(target), global, std::nullopt});
    stream.write(kFileposPlaceholder);
    return false;
}

bool LinkTable::writeImageSource(TextStream& stream, MediaTable& media, std::string_view file, std::string_view prefix,
                                 std::string_view src) {
    // An empty source names no picture; read as a link it would name the page itself.
    if (trimmed(src).empty()) {
        report(faults_, WarningCode::ImageNotSpecified);
        return false;
    }
    const LinkTarget target = normalizer_.target(file, src);
    if (registerMedia(media, target.file, true) < 0) return false;
    std::string placeholder = " ";
    placeholder.append(prefix);
    placeholder.append("recindex=\"");
    records_.push_back({stream.position() + placeholder.size(), target.file});
    placeholder.append("XXXXX\"");
    return stream.write(placeholder);
}

// A link marked global may name an anchor of the publication-wide name space instead of one in its file.
std::optional<uint64_t> LinkTable::lookUp(const LinkTarget& target, bool global) const {
    auto found = anchors_.find(anchorKey(target.file, target.fragment));
    if (found != anchors_.end()) return found->second;
    if (global && !target.fragment.empty()) {
        auto external = externalAnchors_.find(target.fragment);
        if (external != externalAnchors_.end()) return external->second;
    }
    return std::nullopt;
}

size_t LinkTable::resolveLinks() {
    report(faults_, InfoCode::ResolvingLinks);
    size_t unresolved = 0;
    for (LinkFixup& link : links_) {
        link.resolved = lookUp(link.target, link.global);
        if (link.resolved) continue;
        ++unresolved;
        report(faults_, WarningCode::LinkNotResolved, targetText(link.target));
    }
    if (unresolved > 0) report(faults_, WarningCode::SomeLinksNotResolved);
    return unresolved;
}

std::vector<uint64_t> LinkTable::resolvedTargets() const {
    std::vector<uint64_t> targets;
    for (const LinkFixup& link : links_)
        if (link.resolved) targets.push_back(*link.resolved);
    return targets;
}

std::optional<uint64_t> LinkTable::resolve(std::string_view baseFile, std::string_view href) {
    return lookUp(normalizer_.target(baseFile, href), false);
}

bool LinkTable::writeLinks(TextStream& stream, const MediaTable& media) {
    report(faults_, InfoCode::WritingLinks);
    bool ok = true;
    for (const LinkFixup& link : links_) {
        if (link.resolved) ok = stream.patch(link.digits, zeroPadded(*link.resolved, kPositionDigits)) && ok;
    }
    for (const RecordFixup& record : records_) {
        int32_t number = media.recordOf(record.path);
        if (number >= 0)
            ok = stream.patch(record.digits, zeroPadded(static_cast<uint64_t>(number) + 1, kRecordDigits)) && ok;
    }
    return ok;
}

}  // namespace qp
