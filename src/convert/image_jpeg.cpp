// SPDX-License-Identifier: GPL-3.0-or-later
#include "convert/image_jpeg.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <new>

#include <jpeglib.h>
#include <turbojpeg.h>

#include "convert/image_analysis.h"

namespace qp {

namespace {

// Progressive files may hold any number of scans; more than this is treated as an attack.
constexpr int kMaxScans = 500;

// libjpeg reports errors by calling error_exit, which by default ends the process. This manager jumps back
// to the caller instead, and treats warnings (damaged data) as errors too.
struct JpegErrorManager {
    jpeg_error_mgr manager;
    jpeg_progress_mgr progress;
    std::jmp_buf jump;
};

[[noreturn]] void jumpBack(j_common_ptr info) { std::longjmp(reinterpret_cast<JpegErrorManager*>(info->err)->jump, 1); }

void refuseWarnings(j_common_ptr info, int level) {
    if (level < 0) jumpBack(info);
}

void limitScans(j_common_ptr info) {
    if (info->is_decompressor && reinterpret_cast<j_decompress_ptr>(info)->input_scan_number > kMaxScans) {
        jumpBack(info);
    }
}

void installErrorManager(JpegErrorManager& errors) {
    jpeg_std_error(&errors.manager);
    errors.manager.error_exit = jumpBack;
    errors.manager.emit_message = refuseWarnings;
    errors.manager.output_message = [](j_common_ptr) {};
    errors.progress.progress_monitor = limitScans;
}

// Memory destination of libjpeg: a malloc'ed buffer that must be freed by the owner.
struct JpegOutput {
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    ~JpegOutput() { std::free(buffer); }
    ImageFault moveTo(std::vector<uint8_t>& out) const {
        try {
            out.assign(buffer, buffer + size);
        } catch (const std::bad_alloc&) {
            return ImageFault::OutOfMemory;
        }
        return ImageFault::None;
    }
};

struct CompressJob {
    jpeg_compress_struct info;
    JpegErrorManager errors;
    JpegOutput output;
};

// Writes the rows; no object with a destructor lives in this frame, so the error jump is safe.
bool compressRows(CompressJob& job, const Picture& picture, int quality, bool grey, uint8_t* row) {
    jpeg_compress_struct& info = job.info;
    if (setjmp(job.errors.jump)) return false;
    jpeg_create_compress(&info);
    jpeg_mem_dest(&info, &job.output.buffer, &job.output.size);
    info.image_width = static_cast<JDIMENSION>(picture.width);
    info.image_height = static_cast<JDIMENSION>(picture.height);
    info.input_components = grey ? 1 : 3;
    info.in_color_space = grey ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    info.optimize_coding = TRUE;
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        const uint8_t* source = picture.pixel(0, static_cast<int>(info.next_scanline));
        uint8_t* target = row;
        for (int x = 0; x < picture.width; ++x, source += 4) {
            // Lay the pixel on white.
            unsigned alpha = source[3];
            for (int c = 0; c < (grey ? 1 : 3); ++c) {
                *target++ = static_cast<uint8_t>((source[c] * alpha + 255 * (255 - alpha) + 127) / 255);
            }
        }
        JSAMPROW rows[1] = {row};
        jpeg_write_scanlines(&info, rows, 1);
    }
    jpeg_finish_compress(&info);
    return true;
}

struct CleanJob {
    jpeg_decompress_struct source;
    jpeg_compress_struct target;
    JpegErrorManager sourceErrors;
    JpegErrorManager targetErrors;
    JpegOutput output;
    bool sourceCreated = false;
    bool targetCreated = false;
    bool tooLarge = false;
};

bool transcode(CleanJob& job, std::span<const uint8_t> file) {
    if (setjmp(job.sourceErrors.jump)) return false;
    jpeg_create_decompress(&job.source);
    job.sourceCreated = true;
    job.source.progress = &job.sourceErrors.progress;
    jpeg_mem_src(&job.source, file.data(), static_cast<unsigned long>(file.size()));
    jpeg_read_header(&job.source, TRUE);
    if (static_cast<uint64_t>(job.source.image_width) * job.source.image_height > kMaxImagePixels) {
        job.tooLarge = true;
        return false;
    }
    jvirt_barray_ptr* coefficients = jpeg_read_coefficients(&job.source);
    if (setjmp(job.targetErrors.jump)) return false;
    jpeg_create_compress(&job.target);
    job.targetCreated = true;
    jpeg_copy_critical_parameters(&job.source, &job.target);
    job.target.optimize_coding = TRUE;
    jpeg_mem_dest(&job.target, &job.output.buffer, &job.output.size);
    jpeg_write_coefficients(&job.target, coefficients);
    jpeg_finish_compress(&job.target);
    // The source errors jump to the frame set up first; point them here for the last call.
    if (setjmp(job.sourceErrors.jump)) return false;
    jpeg_finish_decompress(&job.source);
    return true;
}

struct TjHandleDeleter {
    void operator()(void* handle) const { tjDestroy(handle); }
};
using TjHandle = std::unique_ptr<void, TjHandleDeleter>;

// A damaged file that still decodes (a missing end marker, stray bytes before a marker) fails with a
// warning only; viewers show such pictures, and so does the book.
bool onlyWarned(void* handle) { return tjGetErrorCode(handle) == TJERR_WARNING; }

}  // namespace

ImageFault decodeJpeg(std::span<const uint8_t> file, DecodedImage& image) {
    TjHandle handle(tjInitDecompress());
    if (!handle) return ImageFault::OutOfMemory;
    int width = 0;
    int height = 0;
    int subsampling = 0;
    int colourspace = 0;
    auto* data = const_cast<unsigned char*>(file.data());
    auto size = static_cast<unsigned long>(file.size());
    if (tjDecompressHeader3(handle.get(), data, size, &width, &height, &subsampling, &colourspace) != 0 &&
        !onlyWarned(handle.get())) {
        return ImageFault::Corrupt;
    }
    image.format = ImageFormat::Jpeg;
    image.bitsPerPixel = colourspace == TJCS_GRAY ? 8 : 24;
    image.frames.clear();
    try {
        image.frames.emplace_back();
    } catch (const std::bad_alloc&) {
        return ImageFault::OutOfMemory;
    }
    Picture& picture = image.frames.back().picture;
    if (ImageFault fault = allocatePicture(picture, width, height); fault != ImageFault::None) return fault;
    const int flags = TJFLAG_LIMITSCANS;
    const auto decoded = [&](int pixelFormat) {
        return tjDecompress2(handle.get(), data, size, picture.rgba.data(), width, 0, height, pixelFormat, flags) ==
                   0 ||
               onlyWarned(handle.get());
    };
    if (colourspace != TJCS_CMYK && colourspace != TJCS_YCCK)
        return decoded(TJPF_RGBA) ? ImageFault::None : ImageFault::Corrupt;
    // libjpeg does not turn CMYK into RGB; the four inks come out inverted, as print software stores them.
    if (!decoded(TJPF_CMYK)) return ImageFault::Corrupt;
    for (size_t i = 0; i < picture.rgba.size(); i += 4) {
        uint8_t* p = &picture.rgba[i];
        unsigned black = p[3];
        for (int c = 0; c < 3; ++c) p[c] = static_cast<uint8_t>((p[c] * black + 127) / 255);
        p[3] = 255;
    }
    return ImageFault::None;
}

ImageFault encodeJpeg(const Picture& picture, int quality, std::vector<uint8_t>& out) {
    if (picture.empty()) return ImageFault::EncodeFailed;
    bool grey = isGreyscale(picture);
    std::vector<uint8_t> row;
    try {
        row.resize(static_cast<size_t>(picture.width) * 3);
    } catch (const std::bad_alloc&) {
        return ImageFault::OutOfMemory;
    }
    auto job = std::make_unique<CompressJob>();
    installErrorManager(job->errors);
    job->info.err = &job->errors.manager;
    bool done = compressRows(*job, picture, quality, grey, row.data());
    jpeg_destroy_compress(&job->info);
    if (!done) return ImageFault::EncodeFailed;
    return job->output.moveTo(out);
}

ImageFault cleanJpeg(std::span<const uint8_t> file, std::vector<uint8_t>& out) {
    auto job = std::make_unique<CleanJob>();
    installErrorManager(job->sourceErrors);
    installErrorManager(job->targetErrors);
    job->source.err = &job->sourceErrors.manager;
    job->target.err = &job->targetErrors.manager;
    bool done = transcode(*job, file);
    if (job->targetCreated) jpeg_destroy_compress(&job->target);
    if (job->sourceCreated) jpeg_destroy_decompress(&job->source);
    if (job->tooLarge) return ImageFault::TooLarge;
    if (!done) return ImageFault::Corrupt;
    return job->output.moveTo(out);
}

}  // namespace qp
