// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/variable_width.h"

namespace qp {

namespace {

constexpr size_t kMaxGroups = 10;  // 7 bits each: enough for 64 bits

size_t groupCount(uint64_t value) {
    size_t groups = 1;
    while (groups < kMaxGroups && value >> (7 * groups) != 0) ++groups;
    return groups;
}

void appendGroups(std::vector<uint8_t>& out, uint64_t value, size_t groups, size_t markedGroup) {
    for (size_t g = 0; g < groups; ++g) {
        uint8_t byte = static_cast<uint8_t>(value >> (7 * (groups - 1 - g)) & 0x7F);
        if (g == markedGroup) byte |= 0x80;
        out.push_back(byte);
    }
}

}  // namespace

void appendForwardInteger(std::vector<uint8_t>& out, uint64_t value) {
    size_t groups = groupCount(value);
    appendGroups(out, value, groups, groups - 1);
}

void appendBackwardInteger(std::vector<uint8_t>& out, uint64_t value) {
    appendGroups(out, value, groupCount(value), 0);
}

void appendEntryLength(std::vector<uint8_t>& out, size_t entryBegin) {
    uint64_t payload = out.size() - entryBegin;
    size_t width = 1;
    while (groupCount(payload + width) > width) ++width;
    appendBackwardInteger(out, payload + width);
}

std::optional<ReadInteger> readForwardInteger(std::span<const uint8_t> bytes, size_t offset) {
    ReadInteger read;
    while (offset + read.length < bytes.size() && read.length < kMaxGroups) {
        const uint8_t byte = bytes[offset + read.length++];
        read.value = read.value << 7 | (byte & 0x7Fu);
        if (byte & 0x80) return read;
    }
    return std::nullopt;
}

std::optional<ReadInteger> readBackwardInteger(std::span<const uint8_t> bytes) {
    ReadInteger read;
    while (read.length < bytes.size() && read.length < kMaxGroups) {
        const uint8_t byte = bytes[bytes.size() - 1 - read.length];
        read.value |= uint64_t{byte & 0x7Fu} << (7 * read.length++);
        if (byte & 0x80) return read;
    }
    return std::nullopt;
}

}  // namespace qp
