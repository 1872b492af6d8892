// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// NodeSelector: node requests, small path queries over an XmlParser's node store.
//
//   /package/metadata/x-metadata/output[@asp-as-binary='yes']   absolute: from the document element
//   item[@media-type!='']                                       relative: element steps from a given node
//   /package/metadata/x-metadata/output/@content-type           a last step may select attributes
//
// A step is an element name (case-blind on A-Z) with any number of predicates [@name='value'] or
// [@name!='value'] (single or double quotes; values compare case-blind; an element without the attribute
// satisfies neither form). Results are node indexes, in the order the steps find them.
#include <string_view>
#include <vector>

#include "core/fault.h"
#include "markup/xml_parser.h"

namespace qp {

class NodeSelector : public FaultHeader {
public:
    // Reports where the document's parser does.
    explicit NodeSelector(const XmlParser& document) : document_(document) { reportsLike(*this, document); }

    // Every node the request selects; empty (and an error) when the request is malformed.
    std::vector<NodeIndex> select(std::string_view request, NodeIndex context = 0);
    // The one node a request should select: kNoNode when it selects none, the first (and a warning) when it
    // selects several.
    NodeIndex selectOne(std::string_view request, NodeIndex context = 0);

private:
    const XmlParser& document_;
};

}  // namespace qp
