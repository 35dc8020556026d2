// Picture loading by file extension: JPEG through libjpeg-turbo, BMP and ICO through Qt.
#pragma once

#include <QImage>
#include <QString>
#include <cstddef>
#include <cstdint>

namespace kelpo {

// Loads the picture file at `path`, choosing the decoder by its extension (case-insensitive:
// jpg, jpeg, bmp, ico; emf and wmf are reported as unsupported). A missing file, an empty
// path, an unknown extension or damaged content raises PictureError naming the file.
QImage loadPicture(const QString& path);

// Decodes JPEG bytes; any decoder complaint raises DecoderError (never exits, never crashes).
QImage decodeJpeg(const std::uint8_t* data, std::size_t size);

}  // namespace kelpo
