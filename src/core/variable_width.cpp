#include "core/variable_width.h"

namespace qp {

namespace {

size_t groupCount(uint64_t value) {
    size_t groups = 1;
    while (groups < 10 && value >> (7 * groups) != 0) ++groups;
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

}  // namespace qp
