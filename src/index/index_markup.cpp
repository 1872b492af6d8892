#include "index/index_markup.h"

#include "markup/xml_parser_text.h"

namespace qp {

bool IndexMarkup::isIndexMarkup(std::string_view name) {
    return startsWithCaseBlind(name, "idx:") || startsWithCaseBlind(name, "tei-ms:");
}

bool IndexMarkup::isCollected(std::string_view name) { return startsWithCaseBlind(name, "idx:"); }

}  // namespace qp
