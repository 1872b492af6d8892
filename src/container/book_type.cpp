// SPDX-License-Identifier: GPL-3.0-or-later
#include "container/book_type.h"

#include <array>

#include "core/ascii_text.h"

namespace qp {

namespace {

struct ContentTypeCode {
    std::string_view type;
    uint32_t code;
};

constexpr std::array kContentTypes{
    ContentTypeCode{"text/x-oeb1-document", book_type::kBook},
    ContentTypeCode{"application/x-vessio-subscription", 257},
    ContentTypeCode{"application/x-vessio-subscription-feed", 258},
    ContentTypeCode{"application/x-vessio-subscription-magazine", 259},
    ContentTypeCode{"application/x-vessio-message", 6},
    ContentTypeCode{"application/msword", 514},
    ContentTypeCode{"application/vnd.ms-excel", 515},
    ContentTypeCode{"application/vnd.ms-powerpoint", 516},
    ContentTypeCode{"text/plain", book_type::kPlainText},
    ContentTypeCode{"text/html", 518},
    ContentTypeCode{"application/vnd.vessio-game", 102},
    ContentTypeCode{"application/vnd.vessio-franklin-ua-game", 101},
};

}  // namespace

uint32_t bookTypeOfContentType(std::string_view contentType, bool& known) {
    contentType = trimmed(contentType);
    known = true;
    if (contentType.empty()) return book_type::kBook;
    if (startsWithCaseBlind(contentType, "image/")) return book_type::kImage;
    if (startsWithCaseBlind(contentType, "audio/")) return book_type::kAudio;
    for (const ContentTypeCode& entry : kContentTypes) {
        if (equalsCaseBlind(contentType, entry.type)) return entry.code;
    }
    known = false;
    return book_type::kBook;
}

}  // namespace qp
