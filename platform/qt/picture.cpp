#include "picture.h"

#include "files.h"

#include "displaytext.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>

namespace platform {

std::optional<QImage> loadPicture(const QString &path)
{
    return loadPicture(QFile::encodeName(path).toStdString());
}

std::optional<QImage> loadPicture(const std::string &path)
{
    // Read like every other file: only a regular file, and never without end,
    // so that a FIFO or a device named like a picture cannot stall the window.
    const vesk::Result<std::string> bytes = vesk::readFile(path, kMaxPictureBytes, vesk::Overflow::Refuse);
    // A JPEG cut short would show its top over a grey block; it shows as no
    // picture, as the Windows decoder takes it.
    if (!bytes || vesk::isCutShortJpeg(*bytes))
        return std::nullopt;
    QByteArray data = QByteArray::fromStdString(*bytes);
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setDecideFormatFromContent(true);
    const QSize size = reader.size();
    if (!size.isValid() || qint64(size.width()) * size.height() > kMaxPicturePixels)
        return std::nullopt;
    QImage image;
    if (!reader.read(&image) || image.isNull())
        return std::nullopt;
    return image;
}

} // namespace platform
