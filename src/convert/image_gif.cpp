// SPDX-License-Identifier: GPL-3.0-or-later
#include "convert/image_gif.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>

#include <gif_lib.h>

#include "convert/image_quantize.h"

namespace qp {

namespace {

struct GifInput {
    std::span<const uint8_t> file;
    size_t offset = 0;
};

int readFromMemory(GifFileType* gif, GifByteType* target, int length) {
    auto* input = static_cast<GifInput*>(gif->UserData);
    size_t count = std::min(static_cast<size_t>(std::max(length, 0)), input->file.size() - input->offset);
    std::memcpy(target, input->file.data() + input->offset, count);
    input->offset += count;
    return static_cast<int>(count);
}

struct GifReaderCloser {
    void operator()(GifFileType* gif) const {
        int error = 0;
        DGifCloseFile(gif, &error);
    }
};

struct FrameControl {
    int disposal = DISPOSAL_UNSPECIFIED;
    int delay = 0;
    int transparentIndex = NO_TRANSPARENT_COLOR;
};

// The rows of an interlaced image come in four passes.
std::vector<int> rowOrder(int height, bool interlaced) {
    std::vector<int> order;
    order.reserve(static_cast<size_t>(height));
    if (!interlaced) {
        for (int y = 0; y < height; ++y) order.push_back(y);
        return order;
    }
    constexpr int kStart[] = {0, 4, 2, 1};
    constexpr int kStep[] = {8, 8, 4, 2};
    for (int pass = 0; pass < 4; ++pass) {
        for (int y = kStart[pass]; y < height; y += kStep[pass]) order.push_back(y);
    }
    return order;
}

class GifDecoder {
public:
    GifDecoder(GifFileType* gif, DecodedImage& image) : gif_(gif), image_(image) {}

    ImageFault run() {
        for (;;) {
            GifRecordType type = UNDEFINED_RECORD_TYPE;
            if (DGifGetRecordType(gif_, &type) == GIF_ERROR) return finish(ImageFault::Corrupt);
            if (type == TERMINATE_RECORD_TYPE) return finish(ImageFault::None);
            ImageFault fault = ImageFault::Corrupt;
            if (type == IMAGE_DESC_RECORD_TYPE) {
                fault = readFrame();
            } else if (type == EXTENSION_RECORD_TYPE) {
                fault = readExtension();
            }
            if (fault != ImageFault::None) return finish(fault);
        }
    }

private:
    // A damaged or truncated file keeps the frames read whole before the damage, as viewers show them (a
    // file missing only its trailer byte is whole); without one it is refused. Limits are never relaxed.
    ImageFault finish(ImageFault fault) {
        if (fault == ImageFault::Corrupt && !image_.frames.empty()) fault = ImageFault::None;
        if (fault == ImageFault::None && image_.frames.empty()) fault = ImageFault::Corrupt;
        if (fault != ImageFault::None) image_.frames.clear();
        return fault;
    }

    ImageFault readExtension() {
        int code = 0;
        GifByteType* block = nullptr;
        if (DGifGetExtension(gif_, &code, &block) == GIF_ERROR) return ImageFault::Corrupt;
        bool first = true;
        bool netscape = false;
        while (block != nullptr) {
            if (code == GRAPHICS_EXT_FUNC_CODE && first) {
                GraphicsControlBlock gcb;
                if (DGifExtensionToGCB(block[0], block + 1, &gcb) == GIF_OK) {
                    control_ = {gcb.DisposalMode, gcb.DelayTime, gcb.TransparentColor};
                }
            } else if (code == APPLICATION_EXT_FUNC_CODE && first) {
                netscape = block[0] == 11 && std::memcmp(block + 1, "NETSCAPE2.0", 11) == 0;
            } else if (netscape && block[0] >= 3 && block[1] == 1) {
                image_.loopCount = block[2] | (block[3] << 8);
            }
            first = false;
            if (DGifGetExtensionNext(gif_, &block) == GIF_ERROR) return ImageFault::Corrupt;
        }
        return ImageFault::None;
    }

    ImageFault prepareCanvas(const GifImageDesc& desc) {
        if (!canvas_.empty()) return ImageFault::None;
        int width = std::max(gif_->SWidth, desc.Left + desc.Width);
        int height = std::max(gif_->SHeight, desc.Top + desc.Height);
        return allocatePicture(canvas_, width, height);
    }

    ImageFault readFrame() {
        if (DGifGetImageDesc(gif_) == GIF_ERROR) return ImageFault::Corrupt;
        const GifImageDesc desc = gif_->Image;
        const ColorMapObject* colours = desc.ColorMap ? desc.ColorMap : gif_->SColorMap;
        if (!colours || desc.Width <= 0 || desc.Height <= 0) return ImageFault::Corrupt;
        if (ImageFault fault = prepareCanvas(desc); fault != ImageFault::None) return fault;
        // Every frame is kept as a whole canvas: bound their total before storing another one.
        uint64_t canvasPixels = static_cast<uint64_t>(canvas_.width) * canvas_.height;
        if (canvasPixels * (image_.frames.size() + 2) > kMaxImagePixels) return ImageFault::TooLarge;

        Picture previous;
        if (control_.disposal == DISPOSE_PREVIOUS) previous = canvas_;
        std::vector<GifPixelType> line(static_cast<size_t>(desc.Width));
        for (int y : rowOrder(desc.Height, desc.Interlace)) {
            if (DGifGetLine(gif_, line.data(), desc.Width) == GIF_ERROR) return ImageFault::Corrupt;
            int canvasY = desc.Top + y;
            if (canvasY >= canvas_.height) continue;
            for (int x = 0; x < desc.Width && desc.Left + x < canvas_.width; ++x) {
                int index = line[static_cast<size_t>(x)];
                if (index == control_.transparentIndex || index >= colours->ColorCount) continue;
                uint8_t* p = canvas_.pixel(desc.Left + x, canvasY);
                const GifColorType& c = colours->Colors[index];
                p[0] = c.Red;
                p[1] = c.Green;
                p[2] = c.Blue;
                p[3] = 255;
            }
        }
        image_.frames.push_back({canvas_, control_.delay});
        if (control_.disposal == DISPOSE_BACKGROUND) {
            for (int y = desc.Top; y < std::min(desc.Top + desc.Height, canvas_.height); ++y) {
                for (int x = desc.Left; x < std::min(desc.Left + desc.Width, canvas_.width); ++x) {
                    std::memset(canvas_.pixel(x, y), 0, 4);
                }
            }
        } else if (control_.disposal == DISPOSE_PREVIOUS) {
            canvas_ = std::move(previous);
        }
        control_ = FrameControl{};
        return ImageFault::None;
    }

    GifFileType* gif_;
    DecodedImage& image_;
    Picture canvas_;
    FrameControl control_;
};

struct GifOutput {
    std::vector<uint8_t>* bytes;
};

int writeToMemory(GifFileType* gif, const GifByteType* data, int length) {
    auto* output = static_cast<GifOutput*>(gif->UserData);
    try {
        output->bytes->insert(output->bytes->end(), data, data + length);
    } catch (const std::bad_alloc&) {
        return 0;
    }
    return length;
}

struct ColourMapDeleter {
    void operator()(ColorMapObject* map) const { GifFreeMapObject(map); }
};
using ColourMap = std::unique_ptr<ColorMapObject, ColourMapDeleter>;

// giflib wants a palette size that is a power of two (at least 2).
ColourMap makeColourMap(const IndexedPicture& indexed) {
    int size = 2;
    while (size < static_cast<int>(indexed.palette.size())) size *= 2;
    std::vector<GifColorType> colours(static_cast<size_t>(size), GifColorType{0, 0, 0});
    for (size_t i = 0; i < indexed.palette.size(); ++i) {
        colours[i] = {indexed.palette[i][0], indexed.palette[i][1], indexed.palette[i][2]};
    }
    return ColourMap(GifMakeMapObject(size, colours.data()));
}

class GifEncoder {
public:
    explicit GifEncoder(GifFileType* gif) : gif_(gif) {}

    bool putLoop(int loopCount) {
        const GifByteType count[3] = {1, static_cast<GifByteType>(loopCount & 0xFF),
                                      static_cast<GifByteType>((loopCount >> 8) & 0xFF)};
        return EGifPutExtensionLeader(gif_, APPLICATION_EXT_FUNC_CODE) == GIF_OK &&
               EGifPutExtensionBlock(gif_, 11, "NETSCAPE2.0") == GIF_OK &&
               EGifPutExtensionBlock(gif_, 3, count) == GIF_OK && EGifPutExtensionTrailer(gif_) == GIF_OK;
    }

    bool putFrame(const IndexedPicture& indexed, const ColorMapObject* localMap, bool animated, int delay) {
        if (animated || indexed.transparentIndex >= 0) {
            GraphicsControlBlock gcb{};
            // Frames cover the whole canvas; clearing after each keeps transparent areas transparent.
            gcb.DisposalMode = animated ? DISPOSE_BACKGROUND : DISPOSAL_UNSPECIFIED;
            gcb.UserInputFlag = false;
            gcb.DelayTime = delay;
            gcb.TransparentColor = indexed.transparentIndex;
            GifByteType extension[4];
            size_t length = EGifGCBToExtension(&gcb, extension);
            if (EGifPutExtension(gif_, GRAPHICS_EXT_FUNC_CODE, static_cast<int>(length), extension) != GIF_OK) {
                return false;
            }
        }
        if (EGifPutImageDesc(gif_, 0, 0, indexed.width, indexed.height, false, localMap) != GIF_OK) return false;
        for (int y = 0; y < indexed.height; ++y) {
            auto* row = const_cast<GifPixelType*>(&indexed.indices[static_cast<size_t>(y) * indexed.width]);
            if (EGifPutLine(gif_, row, indexed.width) != GIF_OK) return false;
        }
        return true;
    }

private:
    GifFileType* gif_;
};

struct GifWriterCloser {
    void operator()(GifFileType* gif) const {
        int error = 0;
        EGifCloseFile(gif, &error);
    }
};

ImageFault writeFrames(GifFileType* gif, const std::vector<AnimationFrame>& frames, int loopCount) {
    const bool animated = frames.size() > 1;
    IndexedPicture indexed;
    if (ImageFault fault = quantizePicture(frames[0].picture, indexed); fault != ImageFault::None) return fault;
    ColourMap globalMap = makeColourMap(indexed);
    if (!globalMap) return ImageFault::OutOfMemory;
    EGifSetGifVersion(gif, true);
    if (EGifPutScreenDesc(gif, indexed.width, indexed.height, globalMap->BitsPerPixel, 0, globalMap.get()) != GIF_OK) {
        return ImageFault::EncodeFailed;
    }
    GifEncoder encoder(gif);
    if (animated && loopCount >= 0 && !encoder.putLoop(loopCount)) return ImageFault::EncodeFailed;
    for (size_t i = 0; i < frames.size(); ++i) {
        ColourMap localMap;
        if (i > 0) {
            const Picture& picture = frames[i].picture;
            if (picture.width != indexed.width || picture.height != indexed.height) return ImageFault::EncodeFailed;
            if (ImageFault fault = quantizePicture(picture, indexed); fault != ImageFault::None) return fault;
            localMap = makeColourMap(indexed);
            if (!localMap) return ImageFault::OutOfMemory;
        }
        if (!encoder.putFrame(indexed, localMap.get(), animated, frames[i].delayCentiseconds)) {
            return ImageFault::EncodeFailed;
        }
    }
    return ImageFault::None;
}

}  // namespace

ImageFault decodeGif(std::span<const uint8_t> file, DecodedImage& image) {
    GifInput input{file, 0};
    int error = 0;
    std::unique_ptr<GifFileType, GifReaderCloser> gif(DGifOpen(&input, readFromMemory, &error));
    if (!gif) return error == D_GIF_ERR_NOT_ENOUGH_MEM ? ImageFault::OutOfMemory : ImageFault::Corrupt;
    image.format = ImageFormat::Gif;
    image.bitsPerPixel = 8;
    image.frames.clear();
    image.loopCount = -1;
    try {
        return GifDecoder(gif.get(), image).run();
    } catch (const std::bad_alloc&) {
        image.frames.clear();
        return ImageFault::OutOfMemory;
    }
}

ImageFault encodeGif(const std::vector<AnimationFrame>& frames, int loopCount, std::vector<uint8_t>& out) {
    if (frames.empty() || frames[0].picture.empty()) return ImageFault::EncodeFailed;
    out.clear();
    GifOutput output{&out};
    int error = 0;
    std::unique_ptr<GifFileType, GifWriterCloser> gif(EGifOpen(&output, writeToMemory, &error));
    if (!gif) return ImageFault::OutOfMemory;
    ImageFault fault;
    try {
        fault = writeFrames(gif.get(), frames, loopCount);
    } catch (const std::bad_alloc&) {
        fault = ImageFault::OutOfMemory;
    }
    // Closing writes the trailer.
    int closeError = 0;
    bool closed = EGifCloseFile(gif.release(), &closeError) == GIF_OK;
    if (fault == ImageFault::None && !closed) fault = ImageFault::EncodeFailed;
    if (fault != ImageFault::None) out.clear();
    return fault;
}

}  // namespace qp
