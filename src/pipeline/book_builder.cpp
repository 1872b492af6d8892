#include "pipeline/book_builder.h"
#include "core/ascii_text.h"

#include "core/message_sink.h"
#include "markup/encoding_detection.h"

namespace qp {

namespace {
constexpr uint32_t kExthCreator = 100;

}  // namespace

BookBuilder::BookBuilder() = default;
BookBuilder::~BookBuilder() = default;

void BookBuilder::announceMetadata(std::string_view label, std::string_view value) {
    std::string line(label);
    if (line.size() < 16) line.resize(16, ' ');
    line += '"';
    line += value;
    line += '"';
    report(*this, InfoCode::AddedMetadata, sink().registerArgument(line));
}

void BookBuilder::addMetadata(uint32_t type, std::string_view value) {
    metadata.push_back({type, std::string(value), std::nullopt});
}

void BookBuilder::addCreators(std::string_view names) {
    while (!names.empty()) {
        const size_t end = names.find(';');
        const std::string_view name = trimmed(names.substr(0, end));
        if (!name.empty()) addMetadata(kExthCreator, name);
        if (end == std::string_view::npos) break;
        names.remove_prefix(end + 1);
    }
}

bool BookBuilder::startText(std::string_view headMarkup) {
    if (!stream.open()) {
        absorbFaults(stream);
        return false;
    }
    converter_ = std::make_unique<HtmlConverter>(*this, stream, links, media, index,
                                                 ConversionOptions{.textCodePage = textCodePage});
    if (!stream.write(headMarkup)) {
        absorbFaults(stream);
        return false;
    }
    return true;
}

bool BookBuilder::convertContentFile(const std::string& path) {
    String source;
    if (!source.loadFile(String::fromUtf8(path))) {
        absorbFaults(source);
        return false;
    }
    detectEncoding(source);
    return convertContent(source, path);
}

bool BookBuilder::convertContent(const String& source, const std::string& path) {
    if (!converter_) return false;
    const bool converted = converter_->convertFile(source, String::fromUtf8(path), !bodyWritten_);
    absorbFaults(stream);
    if (converted) bodyWritten_ = true;
    return converted && !failed();
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
    if (textCodePage == kCodePageUtf8) return escaped;
    String text = String::fromUtf8(escaped);
    text.quiet = true;
    text.convertTo(textCodePage);
    return std::string(text.bytes());
}

std::vector<uint64_t> BookBuilder::nonCrossableBreaks() const {
    if (!converter_) return {};
    return converter_->nonCrossableBreaks();
}

void BookBuilder::absorbFaults(const FaultHeader& other) { qp::absorbFaults(*this, other); }

}  // namespace qp
