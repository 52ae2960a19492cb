// Fuzz target for the picture file, the program's other untrusted input:
// random bytes through the decoding of the area view. No crash, hang or
// undefined behaviour; nothing accepted takes more than the allocation limit;
// a Windows bitmap cut short is refused.
#include "fuzz_support.h"
#include "ui/picture_loading.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    const QImage image = decodePicture(bytes);
    FUZZ_CHECK(image.sizeInBytes() <= qsizetype{kPictureAllocationLimitMb} << 20);
    // Pixels that run-length coding jumps over stay undefined in the decoder,
    // so only bitmaps without it read the same twice.
    const bool runLength = size > 30 && data[14] >= 40 && (data[30] == 1 || data[30] == 2);
    if (image.isNull() || !bytes.startsWith("BM") || runLength) return 0;
    // Cut short of what its pixels need, a bitmap is refused; a cut that only
    // drops bytes after them gives the same picture. Compared in full colour:
    // comparing indexed pictures reads past a colour table that is too short.
    const auto argb = [](const QImage& i) { return i.convertToFormat(QImage::Format_ARGB32); };
    for (const size_t cut : {size - 1, size / 2, qHash(bytes) % size}) {
        const QImage part = decodePicture(bytes.first(qsizetype(cut)));
        FUZZ_CHECK(part.isNull() || argb(part) == argb(image));
    }
    return 0;
}
