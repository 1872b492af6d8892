// SPDX-License-Identifier: GPL-3.0-or-later
// Feeds arbitrary bytes through the String encodings: the first byte picks a code page, the second a target
// code page, the rest is the text. Conversions, comparison and path operations must never crash.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "core/string.h"

namespace {

constexpr int32_t kCodePages[] = {1252, 65001, 65002, 932,   936, 949,  950,   51932, 50220, 20105,
                                  1251, 28592, 10000, 20866, 874, 1258, 65000, 52936, 12345};
constexpr size_t kCount = sizeof kCodePages / sizeof kCodePages[0];

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    const int32_t from = kCodePages[data[0] % kCount];
    const int32_t to = kCodePages[data[1] % kCount];
    std::string_view text(reinterpret_cast<const char*>(data + 2), size - 2);

    qp::String s;
    s.quiet = true;
    s.append(text, from == qp::kCodePageUtf16 ? qp::kCodePageUtf16 : from);
    qp::String name = s.fileNamePart();
    name.quiet = true;
    name.extension();
    qp::String directory = s.directoryPart();
    directory.quiet = true;
    s.compare(directory);
    s.compare(name, true, true);
    s.equalsAscii(text.substr(0, 8));
    s.toUtf8();

    s.convertTo(qp::kCodePageUtf16);
    s.toUtf16();
    s.convertTo(to);
    s.toUtf8();
    return 0;
}
