// Size check of Windows bitmap files from the fields of their headers.
#include "capture/picture_check.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

namespace qm4 {
namespace {

constexpr std::size_t kFileHeaderSize = 14;
constexpr std::uint32_t kCoreHeaderSize = 12;  // the old OS/2 header
constexpr std::uint32_t kRgb = 0;
constexpr std::uint32_t kBitfields = 3;
constexpr std::uint32_t kAlphaBitfields = 6;
constexpr std::uint32_t kRle8 = 1;
constexpr std::uint32_t kRle4 = 2;

std::uint64_t little(std::string_view bytes, std::size_t at, int size) {
    std::uint64_t value = 0;
    for (int i = size - 1; i >= 0; --i) {
        value = (value << 8) | static_cast<unsigned char>(bytes[at + static_cast<std::size_t>(i)]);
    }
    return value;
}

// True when run-length coded pixels from `at` reach their end mark or finish
// their last row inside the bytes. The decoder stops quietly where the file
// ends and shows the rows it did not reach as garbage.
bool runsComplete(std::string_view bytes, std::size_t at, std::uint64_t height, bool fourBit) {
    for (std::uint64_t row = 0; row < height; at += 2) {
        if (at + 2 > bytes.size()) return false;
        const auto count = static_cast<unsigned char>(bytes[at]);
        const auto code = static_cast<std::size_t>(static_cast<unsigned char>(bytes[at + 1]));
        if (count != 0) continue;  // a run of one colour
        if (code == 0) {
            ++row;
        } else if (code == 1) {
            return true;
        } else if (code == 2) {  // a jump right and down
            if (at + 4 > bytes.size()) return false;
            row += static_cast<unsigned char>(bytes[at + 3]);
            at += 2;
        } else {  // literal pixels, padded to whole 16-bit words
            const std::size_t literal = fourBit ? (code + 1) / 2 : code;
            at += literal + literal % 2;
        }
    }
    return true;
}

}  // namespace

bool bitmapIsComplete(std::string_view bytes) {
    if (bytes.size() < 2 || bytes.substr(0, 2) != "BM") return true;
    if (bytes.size() < kFileHeaderSize + 4) return false;
    const std::uint64_t pixelOffset = little(bytes, 10, 4);
    const auto headerSize = static_cast<std::uint32_t>(little(bytes, 14, 4));
    if (bytes.size() < kFileHeaderSize + headerSize) return false;

    std::uint64_t width = 0, height = 0, bitsPerPixel = 0, compression = kRgb, imageSize = 0;
    std::uint64_t coloursUsed = 0;
    if (headerSize == kCoreHeaderSize) {
        width = little(bytes, 18, 2);
        height = little(bytes, 20, 2);
        bitsPerPixel = little(bytes, 24, 2);
    } else if (headerSize == 40 || headerSize == 64 || headerSize == 108 || headerSize == 124) {
        width =
            static_cast<std::uint64_t>(std::llabs(static_cast<std::int32_t>(little(bytes, 18, 4))));
        height =
            static_cast<std::uint64_t>(std::llabs(static_cast<std::int32_t>(little(bytes, 22, 4))));
        bitsPerPixel = little(bytes, 28, 2);
        compression = little(bytes, 30, 4);
        imageSize = little(bytes, 34, 4);
        coloursUsed = little(bytes, 46, 4);
    } else {
        return false;  // the decoder would take it for the old header and read garbage
    }

    // The decoder reads the pixels from the offset the file header gives, but
    // never from before the end of the masks and the colour table.
    const std::uint64_t colours = bitsPerPixel > 8 ? 0
                                  : coloursUsed    ? coloursUsed
                                                   : 1u << bitsPerPixel;
    std::uint64_t tablesEnd = kFileHeaderSize + headerSize;
    tablesEnd += colours * (headerSize == kCoreHeaderSize ? 3 : 4);
    if (headerSize < 108 && compression == kBitfields) tablesEnd += 12;
    if (headerSize < 108 && compression == kAlphaBitfields) tablesEnd += 16;
    const std::uint64_t pixelStart = std::max(pixelOffset, tablesEnd);
    if (pixelStart > bytes.size()) return false;
    const std::uint64_t available = bytes.size() - pixelStart;
    if ((compression == kRle8 || compression == kRle4) &&
        !runsComplete(bytes, pixelStart, height, compression == kRle4)) {
        return false;
    }
    if (compression != kRgb && compression != kBitfields && compression != kAlphaBitfields) {
        return imageSize <= available;  // compressed pixels: the header's own count
    }
    const std::uint64_t rowBytes = (bitsPerPixel * width + 31) / 32 * 4;
    return height == 0 || rowBytes <= available / height;
}

}  // namespace qm4
