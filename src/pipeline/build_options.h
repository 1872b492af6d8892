#pragma once
// The options of one run, read from the command line and handed to the build driver as a whole.
#include <cstdint>

#include "core/string.h"

namespace qp {

// Compression codes written into the book header.
constexpr int32_t kCompressionNone = 1;
constexpr int32_t kCompressionPalmDoc = 2;
constexpr int32_t kCompressionHuffdic = 17480;  // "DH"

// Image modes.
constexpr int32_t kImageModeNormal = 0;    // images reduced to the normal byte limit
constexpr int32_t kImageMode128K = 1;      // each image limited to 128 KB
constexpr int32_t kImageModePreserve = 2;  // images are not reduced

struct BuildOptions {
    int32_t compression = kCompressionPalmDoc;
    int32_t imageMode = kImageModeNormal;
    bool allowJpeg = true;          // false: images become GIF, no JPEG in the book
    bool minimize = true;           // use the lowest file format version the content allows
    bool noCopyPaste = false;       // the book forbids copy and paste of its content
    bool allowAllScripts = false;   // all scripting in content is authorised
    bool forceUnicode = false;      // the book text is written as UTF-8
    bool rebuild = false;           // remove the generated files of the package and rebuild them first
    bool onlyDependencies = false;  // build the package's dependencies only, not the book
    bool noDependencies = false;    // neither check nor build the dependencies
    String outputName;              // bare file name of the output file; empty: the source's base name + "kova"
};

}  // namespace qp
