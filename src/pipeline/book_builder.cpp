// SPDX-License-Identifier: GPL-3.0-or-later
#include "pipeline/book_builder.h"

#include "container/book_writer.h"
#include "container/exth.h"
#include "core/message_sink.h"
#include "markup/encoding_detection.h"

namespace qp {

BookBuilder::BookBuilder(const BuildOptions& options) : options_(options) {
    faults_.messages = options.messages;
    reportsLike(stream_, faults_);
    reportsLike(media_, faults_);
    reportsLike(index_, faults_);
    if (options.allowAllScripts) metadata_.exthFlags |= exth_flag::kAllScriptsAuthorised;
    if (options.noCopyPaste) metadata_.exthFlags |= exth_flag::kCopyPasteForbidden;
    media_.setAllowJpeg(options.allowJpeg);
    media_.setImageMode(options.imageMode);
}

BookBuilder::~BookBuilder() = default;

bool BookBuilder::failed() const {
    return faults_.failed() || stream_.failed() || media_.failed() || index_.failed() || (writer_ && writer_->failed());
}

bool BookBuilder::warned() const {
    return faults_.warned() || stream_.warned() || media_.warned() || index_.warned() || (writer_ && writer_->warned());
}

void BookBuilder::absorbFaults(const FaultHeader& faults) { qp::absorbFaults(faults_, faults); }

void BookBuilder::announceMetadata(std::string_view label, std::string_view value) {
    std::string line(label);
    if (line.size() < 16) line.resize(16, ' ');
    line += '"';
    line += value;
    line += '"';
    report(InfoCode::AddedMetadata, line);
}

bool BookBuilder::startText(int32_t textCodePage, std::string_view headMarkup) {
    textCodePage_ = textCodePage;
    if (!stream_.open()) return false;
    converter_ = std::make_unique<HtmlConverter>(faults_, stream_, links_, media_, index_,
                                                 ConversionOptions{.textCodePage = textCodePage_});
    return stream_.write(headMarkup);
}

bool BookBuilder::writeGuide(const std::vector<GuideReference>& guide, const std::string& packagePath) {
    for (const GuideReference& reference : guide) {
        std::string tag = "<reference title=\"" + attributeText(reference.title) + "\" type=\"" +
                          attributeText(reference.type) + "\"";
        if (!reference.onclick.empty()) tag += " onclick=\"" + attributeText(reference.onclick) + "\"";
        stream_.write(tag);
        if (links_.rewriteHref(stream_, media_, packagePath, reference.href, false)) {
            stream_.write(" href=\"" + attributeText(reference.href) + "\"");
        }
        stream_.write("/>");
    }
    return !failed();
}

bool BookBuilder::writeText(std::string_view markup) { return stream_.write(markup); }
bool BookBuilder::textFailed() const { return stream_.failed(); }

bool BookBuilder::convertContentFile(const std::string& path) {
    String source;
    reportsLike(source, faults_);
    if (!source.loadFile(String::fromUtf8(path))) {
        absorbFaults(source);
        return false;
    }
    detectEncoding(source);
    return convertContent(source, path);
}

void BookBuilder::beginParsing(uint64_t files) {
    progress().begin("parsing files");
    fileProgress_.emplace(progress(), files);
    filesConverted_ = 0;
}

bool BookBuilder::convertContent(const String& source, const std::string& path) {
    if (!converter_) return false;
    if (!fileProgress_) beginParsing(1);
    fileProgress_->setPart(filesConverted_++);
    converter_->setProgress(*fileProgress_);
    // Each content file is a section of the text; the first one starts with the text.
    sectionStarts_.push_back(sectionStarts_.empty() ? 0 : static_cast<uint32_t>(stream_.position()));
    const bool converted = converter_->convertFile(source, String::fromUtf8(path), !bodyWritten_);
    if (converted) bodyWritten_ = true;
    return converted && !failed();
}

void BookBuilder::registerMedia(const std::string& path, std::string_view mediaType) {
    media_.registerFile(path, mediaType);
}

std::string BookBuilder::attributeText(std::string_view utf8) const {
    std::string escaped;
    for (char c : utf8) {
        switch (c) {
            case '&': escaped += "&amp;"; break;
            case '"': escaped += "&quot;"; break;
            case '<': escaped += "&lt;"; break;
            case '>': escaped += "&gt;"; break;
            default: escaped += c;
        }
    }
    if (textCodePage_ == kCodePageUtf8) return escaped;
    String text = String::fromUtf8(escaped);
    text.quiet = true;
    text.convertTo(textCodePage_);
    return std::string(text.bytes());
}

}  // namespace qp
