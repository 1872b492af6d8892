// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The node store of the markup parser: nodes in a paged array addressed by a 32-bit index, and the paged stack
// of open elements. Pages never move, so the store grows without copying nodes.
#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>
#include <vector>

namespace qp {

using NodeIndex = uint32_t;
constexpr NodeIndex kNoNode = UINT32_MAX;
constexpr uint32_t kNoPosition = UINT32_MAX;

enum class NodeKind : uint8_t { Text = 0, Attribute = 1, Comment = 2, Element = 3, StrayEndTag = 4 };

namespace node_flag {
constexpr uint8_t kWrittenEmpty = 1;  // written as <name .../>
constexpr uint8_t kClosed = 2;        // an end tag (or />) closed the element
constexpr uint8_t kComment = 4;       // a kind-2 node written as <!--...-->
constexpr uint8_t kCdata = 8;         // a text node that is a <![CDATA[...]]> section, delimiters kept
}  // namespace node_flag

// One node. Texts are byte ranges of the parsed text; the tree is linked by indexes.
struct Node {
    NodeKind kind = NodeKind::Text;
    uint8_t flags = 0;
    NodeIndex parent = kNoNode;
    NodeIndex firstChild = kNoNode;
    NodeIndex lastChild = kNoNode;
    NodeIndex nextSibling = kNoNode;
    NodeIndex previousSibling = kNoNode;
    uint32_t textBegin = 0;  // name (elements, stray end tags, attributes), characters, or comment inner text
    uint32_t textLength = 0;
    uint32_t valueBegin = 0;  // attribute value as written
    uint32_t valueLength = 0;
    uint32_t start = 0;         // where the node starts in the text
    uint32_t contentStart = 0;  // where its content (or value) starts
    uint32_t closePosition = kNoPosition;
};

// A growable array of fixed pages; elements keep their address while it grows. A cleared array keeps its pages
// so that refilling it allocates nothing.
template <typename T, size_t PageSize>
class PagedArray {
    static_assert(std::has_single_bit(PageSize), "page size must be a power of two");
    static constexpr unsigned kShift = std::countr_zero(PageSize);
    static constexpr size_t kMask = PageSize - 1;

public:
    size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    T& operator[](size_t i) { return (*pages_[i >> kShift])[i & kMask]; }
    const T& operator[](size_t i) const { return (*pages_[i >> kShift])[i & kMask]; }
    T& back() { return (*this)[size_ - 1]; }

    // Appends a value; false when no page could be allocated.
    bool push(const T& value) {
        if ((size_ >> kShift) == pages_.size()) {
            try {
                pages_.push_back(std::make_unique<std::array<T, PageSize>>());
            } catch (const std::bad_alloc&) {
                return false;
            }
        }
        (*this)[size_++] = value;
        return true;
    }
    void pop() { --size_; }
    void clear() { size_ = 0; }

private:
    std::vector<std::unique_ptr<std::array<T, PageSize>>> pages_;
    size_t size_ = 0;
};

using NodePages = PagedArray<Node, 256>;
using OpenStack = PagedArray<NodeIndex, 32>;

}  // namespace qp
