// Reading a picture file for the area view. The file is untrusted input, so
// it is read only up to a size limit, a Windows bitmap cut short is refused,
// and the decoder may not allocate more than a fixed amount for the pixels.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

// The largest picture file read at all; an area picture is a few hundred kB.
inline constexpr qint64 kMaxPictureFileBytes = 64 * 1024 * 1024;

// The most the decoder may allocate for one picture's pixels, in MB.
inline constexpr int kPictureAllocationLimitMb = 64;

// The decoded picture, or a null image for bytes that are not a complete
// picture or whose pixels would take more than the allocation limit.
QImage decodePicture(const QByteArray& bytes);

// Reads and decodes the file; a null image when it cannot be read, is larger
// than kMaxPictureFileBytes or is not a picture.
QImage loadPicture(const QString& path);
