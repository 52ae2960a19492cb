// Picture files: size limit, bitmap check, bounded decoding.
#include "ui/picture_loading.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <string_view>

#include "capture/picture_check.h"

QImage decodePicture(const QByteArray& bytes) {
    if (!qm4::bitmapIsComplete(std::string_view(bytes.constData(), bytes.size()))) return {};
    QImageReader::setAllocationLimit(kPictureAllocationLimitMb);
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    return reader.read();
}

QImage loadPicture(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxPictureFileBytes) return {};
    return decodePicture(file.read(kMaxPictureFileBytes));
}
