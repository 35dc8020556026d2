// Picture loading by file extension: JPEG through libjpeg-turbo, BMP and ICO through Qt,
// EMF and WMF through the metafile converter.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>
#include <cstddef>
#include <cstdint>

#include "platform/graphic.h"

namespace kelpo {

// A picture file as read: its kind (by extension), its bytes as stored, and the decoded picture.
struct PictureFile {
  GraphicKind kind = GraphicKind::None;
  QByteArray bytes;
  Graphic graphic;
};

// Reads and decodes the picture file at `path`, choosing the kind by its extension
// (case-insensitive: jpg, jpeg, bmp, ico, emf, wmf). A missing file, an empty path, an unknown
// extension or damaged content raises PictureError naming the file.
PictureFile readPictureFile(const QString& path);

// The picture file at `path` as an image (a metafile drawn at its own size); errors as above.
QImage loadPicture(const QString& path);

// Decodes JPEG bytes; any decoder complaint raises DecoderError (never exits, never crashes).
QImage decodeJpeg(const std::uint8_t* data, std::size_t size);

}  // namespace kelpo
