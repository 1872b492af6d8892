// SPDX-License-Identifier: GPL-3.0-or-later
#include "markup/xml_parser_text.h"

#include <array>
#include <utility>

namespace qp {

namespace {

constexpr std::array<std::pair<std::string_view, char>, 4> kEntities{{
    {"&quot;", '"'},
    {"&amp;", '&'},
    {"&lt;", '<'},
    {"&gt;", '>'},
}};

}  // namespace

std::string decodeEntities(std::string_view raw) {
    std::string out;
    out.reserve(raw.size());
    size_t i = 0;
    while (i < raw.size()) {
        size_t amp = raw.find('&', i);
        if (amp == std::string_view::npos) amp = raw.size();
        out.append(raw.substr(i, amp - i));
        if (amp == raw.size()) break;
        i = amp + 1;
        char decoded = '&';
        for (const auto& [entity, character] : kEntities) {
            if (raw.substr(amp, entity.size()) == entity) {
                decoded = character;
                i = amp + entity.size();
                break;
            }
        }
        out.push_back(decoded);
    }
    return out;
}

std::string encodeEntities(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        bool replaced = false;
        for (const auto& [entity, character] : kEntities) {
            if (c == character) {
                out.append(entity);
                replaced = true;
                break;
            }
        }
        if (!replaced) out.push_back(c);
    }
    return out;
}

}  // namespace qp
