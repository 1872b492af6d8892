// SPDX-License-Identifier: GPL-3.0-or-later
#include "compress/huffman_code_lengths.h"

#include <algorithm>
#include <numeric>

namespace qp {
namespace {

// Optimal code lengths by the two-queue method over the counts in ascending order: leaves are taken from
// the sorted list, inner nodes from a second queue that fills in ascending order by construction.
std::vector<uint8_t> unlimitedLengths(const std::vector<uint64_t>& counts, const std::vector<uint32_t>& order) {
    const size_t n = counts.size();
    std::vector<uint8_t> lengths(n, 0);
    if (n == 1) {
        lengths[0] = 1;
        return lengths;
    }
    // Nodes 0 … n-1 are the leaves in ascending order, n … 2n-2 the inner nodes in creation order.
    std::vector<uint64_t> weight(2 * n - 1);
    std::vector<uint32_t> parent(2 * n - 1, 0);
    for (size_t i = 0; i < n; ++i) weight[i] = counts[order[i]];
    size_t nextLeaf = 0;
    size_t nextInner = n;
    auto takeSmallest = [&](size_t created) {
        if (nextLeaf < n && (nextInner >= created || weight[nextLeaf] <= weight[nextInner])) return nextLeaf++;
        return nextInner++;
    };
    for (size_t created = n; created < 2 * n - 1; ++created) {
        const size_t a = takeSmallest(created);
        const size_t b = takeSmallest(created);
        weight[created] = weight[a] + weight[b];
        parent[a] = parent[b] = static_cast<uint32_t>(created);
    }
    // Depths from the root down: a node's parent was created after it.
    std::vector<uint8_t> depth(2 * n - 1, 0);
    for (size_t node = 2 * n - 2; node-- > 0;)
        depth[node] = static_cast<uint8_t>(std::min(depth[parent[node]] + 1, 255));
    for (size_t i = 0; i < n; ++i) lengths[order[i]] = depth[i];
    return lengths;
}

}  // namespace

std::vector<uint8_t> huffmanCodeLengths(const std::vector<uint32_t>& counts) {
    if (counts.empty()) return {};
    std::vector<uint64_t> weights(counts.begin(), counts.end());
    std::vector<uint32_t> order(counts.size());
    std::iota(order.begin(), order.end(), 0u);
    std::stable_sort(order.begin(), order.end(), [&](uint32_t a, uint32_t b) { return weights[a] < weights[b]; });
    for (;;) {
        std::vector<uint8_t> lengths = unlimitedLengths(weights, order);
        if (*std::max_element(lengths.begin(), lengths.end()) <= kHuffmanMaxCodeLength) return lengths;
        // Halving keeps the order of the counts, so the sorted order stays valid.
        for (uint64_t& w : weights) w = (w + 1) / 2;
    }
}

}  // namespace qp
