#pragma once
// The index markup of dictionary books as the converter meets it: every `idx:` element of the content, in
// document order, with its attributes and the text position where it stood. The dictionary indexes are
// built from this list.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace qp {

struct IndexAttribute {
    std::string name;
    std::string value;  // read-out text, UTF-8
};

struct IndexElement {
    std::string name;  // as written, "idx:" prefix included
    std::vector<IndexAttribute> attributes;
    uint64_t position = 0;  // byte position in the book text
};

class IndexMarkup {
public:
    // True for the names the converter hands here instead of writing: "idx:" and "tei-ms:" (case-blind).
    static bool isIndexMarkup(std::string_view name);
    // True for the names that are collected: "idx:" (case-blind).
    static bool isCollected(std::string_view name);

    void add(IndexElement element) { elements_.push_back(std::move(element)); }
    const std::vector<IndexElement>& elements() const { return elements_; }
    bool empty() const { return elements_.empty(); }

private:
    std::vector<IndexElement> elements_;
};

}  // namespace qp
