// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the two table-of-contents readers (NCX and ePub 3 navigation document) share: the file parsed as XML
// and the lookup of child elements by name.
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/fault.h"
#include "markup/xml_parser.h"

namespace qp {

// The file read (its encoding detected from the document) and parsed; nothing, with the faults in
// `faults`, when it cannot be read or parsed.
std::unique_ptr<XmlParser> parseTocFile(const std::string& path, FaultHeader& faults);

// The first child element of that name (case-blind), or kNoNode; every child element of that name.
NodeIndex childElement(const XmlParser& parser, NodeIndex element, std::string_view name);
std::vector<NodeIndex> childElements(const XmlParser& parser, NodeIndex element, std::string_view name);

}  // namespace qp
