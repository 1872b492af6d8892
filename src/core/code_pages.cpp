// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/code_pages.h"

#include <iconv.h>

#include <cerrno>
#include <new>
#include <vector>

#include "core/unicode.h"

namespace qp {

namespace {

// Windows-1252 bytes 0x80-0x9F. The five undefined bytes keep their own value, as the system converter does.
constexpr char16_t kWindows1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

DecodeResult decodeWindows1252(std::string_view bytes, std::u16string& out) {
    for (unsigned char b : bytes) out.push_back(b >= 0x80 && b < 0xA0 ? kWindows1252High[b - 0x80] : b);
    return {};
}

EncodeResult encodeWindows1252(std::u16string_view text, std::string& out) {
    EncodeResult result;
    for (size_t i = 0; i < text.size();) {
        const uint32_t ch = nextCodePoint(text, i);
        int byte = -1;
        if (ch < 0x80 || (ch >= 0xA0 && ch <= 0xFF)) {
            byte = static_cast<int>(ch);
        } else {
            for (int k = 0; k < 32; ++k)
                if (kWindows1252High[k] == ch) byte = 0x80 + k;
        }
        if (byte < 0) {
            result.lossy = true;
            byte = '?';
        }
        out.push_back(static_cast<char>(byte));
    }
    return result;
}

DecodeResult decodeAscii(std::string_view bytes, std::u16string& out) {
    DecodeResult result;
    for (unsigned char b : bytes) {
        if (b & 0x80) result.lossy = true;
        out.push_back(static_cast<char16_t>(b & 0x7F));
    }
    return result;
}

EncodeResult encodeAscii(std::u16string_view text, std::string& out) {
    EncodeResult result;
    for (char16_t ch : text) {
        if (ch > 0x7F) result.lossy = true;
        out.push_back(static_cast<char>(ch & 0x7F));
    }
    return result;
}

DecodeResult decodeUtf8(std::string_view bytes, std::u16string& out) {
    DecodeResult result;
    result.invalid = appendUtf8AsUtf16(bytes, out);
    return result;
}

EncodeResult encodeUtf8(std::u16string_view text, std::string& out) {
    EncodeResult result;
    result.lossy = appendUtf16AsUtf8(text, out) > 0;  // a lone surrogate has no UTF-8 form
    return result;
}

// Opened iconv descriptors, kept per thread for the life of the thread (opening one costs far more than a
// short conversion). A descriptor is reset to its initial state before each use.
class IconvCache {
public:
    IconvCache() = default;
    IconvCache(const IconvCache&) = delete;
    IconvCache& operator=(const IconvCache&) = delete;
    ~IconvCache() {
        for (const Entry& entry : entries_)
            if (entry.cd != kInvalid) iconv_close(entry.cd);
    }

    // The descriptor converting `from` to `to`, or kInvalid when iconv does not know the pair.
    iconv_t get(const std::string& to, const std::string& from) {
        for (const Entry& entry : entries_) {
            if (entry.to == to && entry.from == from) {
                if (entry.cd != kInvalid) iconv(entry.cd, nullptr, nullptr, nullptr, nullptr);
                return entry.cd;
            }
        }
        iconv_t cd = iconv_open(to.c_str(), from.c_str());
        entries_.push_back({to, from, cd});
        return cd;
    }

    static inline const iconv_t kInvalid = reinterpret_cast<iconv_t>(-1);

private:
    struct Entry {
        std::string to;
        std::string from;
        iconv_t cd;
    };
    std::vector<Entry> entries_;
};

iconv_t cachedIconv(const std::string& to, const std::string& from) {
    thread_local IconvCache cache;
    return cache.get(to, from);
}

// Runs iconv over the whole input, calling `onInvalid` at each sequence it cannot convert; the callback
// returns how many input bytes to skip and may add replacement output. `sink` receives converted bytes.
template <typename Sink, typename OnInvalid>
void runIconv(iconv_t cd, const char* input, size_t inputLeft, Sink sink, OnInvalid onInvalid) {
    char chunk[4096];
    auto* in = const_cast<char*>(input);
    bool flushing = false;
    for (;;) {
        char* outPtr = chunk;
        size_t outLeft = sizeof chunk;
        size_t done =
            flushing ? iconv(cd, nullptr, nullptr, &outPtr, &outLeft) : iconv(cd, &in, &inputLeft, &outPtr, &outLeft);
        int error = errno;
        sink(chunk, static_cast<size_t>(outPtr - chunk));
        if (done != static_cast<size_t>(-1)) {
            if (flushing) return;
            flushing = true;
            continue;
        }
        if (error == E2BIG) continue;
        if (error == EILSEQ || error == EINVAL) {
            size_t skip = onInvalid(in, inputLeft);
            in += skip;
            inputLeft -= skip;
            continue;
        }
        return;
    }
}

DecodeResult decodeIconv(const std::string& name, std::string_view bytes, std::u16string& out) {
    DecodeResult result;
    iconv_t cd = name.empty() ? IconvCache::kInvalid : cachedIconv("UTF-16LE", name);
    if (cd == IconvCache::kInvalid) {
        result.supported = false;
        return result;
    }
    std::string pending;  // an odd byte left over between chunks
    auto sink = [&](const char* data, size_t size) {
        pending.append(data, size);
        size_t whole = pending.size() & ~size_t{1};
        for (size_t i = 0; i < whole; i += 2)
            out.push_back(
                static_cast<char16_t>(static_cast<uint8_t>(pending[i]) | (static_cast<uint8_t>(pending[i + 1]) << 8)));
        pending.erase(0, whole);
    };
    auto onInvalid = [&](const char*, size_t left) -> size_t {
        out.push_back(kReplacementCharacter);
        ++result.invalid;
        return left > 0 ? 1 : 0;
    };
    runIconv(cd, bytes.data(), bytes.size(), sink, onInvalid);
    return result;
}

EncodeResult encodeIconv(const std::string& name, std::u16string_view text, std::string& out) {
    EncodeResult result;
    iconv_t cd = name.empty() ? IconvCache::kInvalid : cachedIconv(name, "UTF-16LE");
    if (cd == IconvCache::kInvalid) {
        result.supported = false;
        return result;
    }
    std::string input;
    input.reserve(text.size() * 2);
    for (char16_t unit : text) {
        input.push_back(static_cast<char>(unit & 0xFF));
        input.push_back(static_cast<char>(unit >> 8));
    }
    auto sink = [&](const char* data, size_t size) { out.append(data, size); };
    auto onInvalid = [&](const char* at, size_t left) -> size_t {
        out.push_back('?');
        result.lossy = true;
        if (left < 2) return left;
        auto unit = static_cast<char16_t>(static_cast<uint8_t>(at[0]) | (static_cast<uint8_t>(at[1]) << 8));
        if (isHighSurrogate(unit) && left >= 4) {
            auto next = static_cast<char16_t>(static_cast<uint8_t>(at[2]) | (static_cast<uint8_t>(at[3]) << 8));
            if (isLowSurrogate(next)) return 4;
        }
        return 2;
    };
    runIconv(cd, input.data(), input.size(), sink, onInvalid);
    return result;
}

}  // namespace

std::string iconvNameOfCodePage(int32_t codePage) {
    switch (codePage) {
        case 1200: return "UTF-16LE";
        case 1201: return "UTF-16BE";
        case 10000: return "MACINTOSH";
        case 20127: return "ASCII";
        case 20866: return "KOI8-R";
        case 21866: return "KOI8-U";
        case 28603: return "ISO-8859-13";
        case 28605: return "ISO-8859-15";
        case 50220: return "ISO-2022-JP";
        case 51932: return "EUC-JP";
        case 51949: return "EUC-KR";
        case 54936: return "GB18030";
        case 65000: return "UTF-7";
        default: break;
    }
    if (codePage >= 28591 && codePage <= 28599) return "ISO-8859-" + std::to_string(codePage - 28590);
    // Windows and DOS code pages (874, 932, 936, 949, 950, 1250-1258, 437, 850, 866, ...) share their number.
    if (codePage > 0 && codePage < 10000) return "CP" + std::to_string(codePage);
    return "";
}

DecodeResult decodeToUtf16(int32_t codePage, std::string_view bytes, std::u16string& out) {
    try {
        switch (codePage) {
            case 1252: return decodeWindows1252(bytes, out);
            case 20105: return decodeAscii(bytes, out);
            case 65001: return decodeUtf8(bytes, out);
            default: return decodeIconv(iconvNameOfCodePage(codePage), bytes, out);
        }
    } catch (const std::bad_alloc&) {
        DecodeResult result;
        result.supported = false;
        return result;
    }
}

EncodeResult encodeFromUtf16(int32_t codePage, std::u16string_view text, std::string& out) {
    try {
        switch (codePage) {
            case 1252: return encodeWindows1252(text, out);
            case 20105: return encodeAscii(text, out);
            case 65001: return encodeUtf8(text, out);
            default: return encodeIconv(iconvNameOfCodePage(codePage), text, out);
        }
    } catch (const std::bad_alloc&) {
        EncodeResult result;
        result.supported = false;
        return result;
    }
}

}  // namespace qp
