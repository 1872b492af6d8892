// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The linked style sheet files of one build. Many content files link the same sheets: each file is read and
// parsed once (per absolute path and default code page), and its warnings are printed that one time.
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "core/fault.h"
#include "core/string.h"
#include "markup/css_sheet.h"

namespace qp {

class StyleSheetFiles {
public:
    // The sheets' messages go to `messages` (none: they are only recorded).
    explicit StyleSheetFiles(MessageSink* messages) : messages_(messages) {}

    struct Sheet {
        std::vector<CssRule> rules;
        FaultHeader faults;  // what reading and parsing it raised (`CssFileNotFound` when it could not be read)
    };

    // The sheet at `path`. A sheet without a byte-order mark is decoded with its leading "@charset", else with
    // `defaultCodePage` (the linking content file's).
    const Sheet& load(const String& path, int32_t defaultCodePage);
    size_t parsedCount() const { return sheets_.size(); }

private:
    MessageSink* messages_;
    std::map<std::pair<std::string, int32_t>, Sheet> sheets_;
};

}  // namespace qp
