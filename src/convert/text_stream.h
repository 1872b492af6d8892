// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The book text stream: one temporary file per book ("quillpress-XXXXXX" in the temporary directory),
// written strictly forward. Every byte position is final, so a placeholder written now can be overwritten in
// place once its number is known (patch). The file is deleted by its owner, also when the build fails.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/fault.h"
#include "core/interrupt_cleanup.h"

namespace qp {

// The whole text of a stream, read back: the file mapped into memory where the system allows it (no copy, and
// pages the system can drop again), else a copy.
class WrittenText {
public:
    WrittenText() = default;
    WrittenText(const WrittenText&) = delete;
    WrittenText& operator=(const WrittenText&) = delete;
    ~WrittenText();

    std::span<const uint8_t> bytes() const { return mapped_ ? std::span(mapped_, size_) : std::span(copy_); }

private:
    friend class TextStream;
    const uint8_t* mapped_ = nullptr;
    size_t size_ = 0;
    std::vector<uint8_t> copy_;
};

class TextStream : public FaultHeader {
public:
    TextStream() = default;
    TextStream(const TextStream&) = delete;
    TextStream& operator=(const TextStream&) = delete;
    ~TextStream();

    // Creates the temporary file. `FileNotAccessible` when it cannot be made.
    bool open();
    bool isOpen() const { return fd_ >= 0; }
    // Appends bytes at the end. `FileNotAccessible` (naming the file) when the write fails.
    bool write(std::string_view bytes);
    // The position the next byte will have: the current length of the text.
    uint64_t position() const { return flushed_ + buffer_.size(); }
    // Overwrites bytes already written; the end of the stream stays where it is.
    bool patch(uint64_t position, std::string_view bytes);
    // The whole text from its first byte.
    bool readAll(std::vector<uint8_t>& out);
    // The same without a copy where the file can be mapped; `text` must not be read after it is destroyed.
    bool readAll(WrittenText& text);
    // Closes and deletes the file.
    void close();
    const std::string& path() const { return path_; }

private:
    bool flush();
    // `FileNotAccessible` naming the file, with the reason the system gave; always false.
    bool fail(int error);

    int fd_ = -1;
    std::string path_;
    CleanupRegistration cleanup_;
    std::string buffer_;
    uint64_t flushed_ = 0;
};

}  // namespace qp
