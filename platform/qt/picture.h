#pragma once

#include <QImage>
#include <QString>

#include <cstddef>
#include <optional>
#include <string>

namespace platform {

// Pictures larger than this are not decoded at all: a header that claims
// 20000 by 20000 pixels would otherwise ask for gigabytes.
constexpr qint64 kMaxPicturePixels = 40'000'000;
// Nor are files larger than this read at all.
constexpr std::size_t kMaxPictureBytes = 64 * 1024 * 1024;

// The picture in a file, whatever its name says it is; nothing when it cannot
// be read, is no picture, or is too large to decode.
std::optional<QImage> loadPicture(const std::string &path);
std::optional<QImage> loadPicture(const QString &path);

} // namespace platform
