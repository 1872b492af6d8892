// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The preview's style sheet and script (tools/kovadump/preview/preview.css and preview.js), built into kovadump.
#include <string_view>

namespace kova {

std::string_view previewStyle();
std::string_view previewScript();

}  // namespace kova
