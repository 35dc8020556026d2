// Picture files by extension; JPEG goes through libjpeg-turbo with errors turned into exceptions.
#include "platform/picture.h"

// jpeglib.h needs size_t and FILE declared before it.
#include <jerror.h>
#include <jpeglib.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <csetjmp>
#include <cstddef>
#include <cstdio>

#include "platform/error.h"
#include "platform/text.h"

namespace kelpo {
namespace {

// Pictures beyond this many pixels are refused before any memory is taken for them: a
// damaged header can claim 65500 x 65500 pixels in a few bytes.
constexpr std::uint64_t kMaxPixels = 64ull * 1024 * 1024;

// Larger files cannot be pictures of a recipe catalogue; refusing them keeps a stray huge
// file from exhausting memory.
constexpr qint64 kMaxFileBytes = 256ll * 1024 * 1024;

// libjpeg reports fatal errors through error_exit, which must not return: it jumps back into
// runDecoder, which releases libjpeg's state and reports failure.
struct JpegErrorManager {
  jpeg_error_mgr mgr;
  std::jmp_buf jump;
  char message[JMSG_LENGTH_MAX];
};

[[noreturn]] void onJpegError(j_common_ptr info) {
  auto* err = reinterpret_cast<JpegErrorManager*>(info->err);
  (*info->err->format_message)(info, err->message);
  std::longjmp(err->jump, 1);
}

// Warnings: data that ends early (or a segment cut short) would make libjpeg fill the rest
// with grey and call it a picture; treat that as damage. Other warnings (stray bytes
// between markers, unknown JFIF revisions) leave a sound picture and are ignored.
void onJpegMessage(j_common_ptr info, int level) {
  if (level >= 0) return;  // trace output
  const int code = info->err->msg_code;
  if (code == JWRN_JPEG_EOF || code == JWRN_HIT_MARKER) onJpegError(info);
}

// Everything the jump may touch lives here, outside the function that calls setjmp, so its
// value is well defined after a jump; runDecoder itself holds no object with a destructor.
struct JpegJob {
  const std::uint8_t* data = nullptr;
  std::size_t size = 0;
  jpeg_decompress_struct info{};
  JpegErrorManager err{};
  QImage image;
  const char* failure = nullptr;  // our own reason, when not libjpeg's message
};

bool runDecoder(JpegJob& job) {
  job.info.err = jpeg_std_error(&job.err.mgr);
  job.err.mgr.error_exit = onJpegError;
  job.err.mgr.emit_message = onJpegMessage;
  job.err.message[0] = '\0';
  if (setjmp(job.err.jump)) {
    jpeg_destroy_decompress(&job.info);
    return false;
  }
  jpeg_create_decompress(&job.info);
  jpeg_mem_src(&job.info, job.data, static_cast<unsigned long>(job.size));
  jpeg_read_header(&job.info, TRUE);
  const bool cmyk = job.info.jpeg_color_space == JCS_CMYK || job.info.jpeg_color_space == JCS_YCCK;
  // Both outputs take four bytes a pixel, so rows decode straight into the image.
#if Q_BYTE_ORDER == Q_LITTLE_ENDIAN
  job.info.out_color_space = cmyk ? JCS_CMYK : JCS_EXT_BGRX;
#else
  job.info.out_color_space = cmyk ? JCS_CMYK : JCS_EXT_XRGB;
#endif
  jpeg_calc_output_dimensions(&job.info);
  const std::uint64_t pixels =
      static_cast<std::uint64_t>(job.info.output_width) * job.info.output_height;
  if (pixels == 0 || pixels > kMaxPixels) {
    job.failure = "the picture is too large";  // libjpeg's own words are English too
    jpeg_destroy_decompress(&job.info);
    return false;
  }
  jpeg_start_decompress(&job.info);
  job.image = QImage(static_cast<int>(job.info.output_width),
                     static_cast<int>(job.info.output_height), QImage::Format_RGB32);
  if (job.image.isNull()) {
    job.failure = "not enough memory for the picture";
    jpeg_destroy_decompress(&job.info);
    return false;
  }
  while (job.info.output_scanline < job.info.output_height) {
    JSAMPROW row = job.image.scanLine(static_cast<int>(job.info.output_scanline));
    if (jpeg_read_scanlines(&job.info, &row, 1) != 1) {
      job.failure = "the picture data ends early";
      jpeg_destroy_decompress(&job.info);
      return false;
    }
    if (cmyk) {
      // Adobe writes CMYK inverted (as libjpeg hands it over): each byte is already
      // 255 - ink, so the colour is the product of ink-free share and the black share.
      auto* p = row;
      auto* px = reinterpret_cast<QRgb*>(row);
      for (JDIMENSION x = 0; x < job.info.output_width; ++x, p += 4) {
        const int k = p[3];
        px[x] = qRgb(p[0] * k / 255, p[1] * k / 255, p[2] * k / 255);
      }
    }
  }
  jpeg_finish_decompress(&job.info);
  jpeg_destroy_decompress(&job.info);
  return true;
}

// Messages are for the user: Chinese, naming the file, the decoder's own words in
// parentheses after them.
QString named(const QString& path) {
  return u'“' + QDir::toNativeSeparators(QDir::cleanPath(path)) + u'”';
}

[[noreturn]] void fail(const QString& message) { throw PictureError(fromQString(message)); }

}  // namespace

QImage decodeJpeg(const std::uint8_t* data, std::size_t size) {
  if (data == nullptr || size == 0) throw DecoderError(fromQString(QStringLiteral("图像数据为空")));
  JpegJob job;
  job.data = data;
  job.size = size;
  if (!runDecoder(job))
    throw DecoderError(
        fromQString(QStringLiteral("图像数据无法解码（%1）")
                        .arg(QString::fromUtf8(job.failure ? job.failure : job.err.message))));
  return job.image;
}

PictureFile readPictureFile(const QString& given) {
  if (given.isEmpty()) fail(QStringLiteral("没有给出图片文件名"));
  // Stored picture paths use backslashes; where no file of the exact name exists, the same
  // path with '/' is the one meant.
  QString path = given;
  if (path.contains(u'\\') && !QFileInfo::exists(path)) path.replace(u'\\', u'/');

  const QFileInfo fileInfo(path);
  const QString ext = fileInfo.suffix().toLower();
  PictureFile picture;
  if (ext == u"jpg" || ext == u"jpeg")
    picture.kind = GraphicKind::Jpeg;
  else if (ext == u"bmp")
    picture.kind = GraphicKind::Bitmap;
  else if (ext == u"ico")
    picture.kind = GraphicKind::Icon;
  else if (ext == u"emf" || ext == u"wmf")
    picture.kind = GraphicKind::Metafile;
  if (fileInfo.isDir()) fail(QStringLiteral("%1 是文件夹，不是图片文件").arg(named(path)));
  if (picture.kind == GraphicKind::None) {
    if (fileInfo.suffix().isEmpty())
      fail(QStringLiteral("图片文件 %1 没有扩展名，无法识别图片格式").arg(named(path)));
    fail(QStringLiteral("无法识别图片文件 %1 的格式（.%2）").arg(named(path), fileInfo.suffix()));
  }
  if (!fileInfo.exists()) fail(QStringLiteral("找不到图片文件 %1").arg(named(path)));

  QFile file(path);
  if (!file.open(QIODevice::ReadOnly))
    fail(QStringLiteral("无法打开图片文件 %1（%2）").arg(named(path), file.errorString()));
  if (file.size() > kMaxFileBytes) fail(QStringLiteral("图片文件 %1 太大").arg(named(path)));
  picture.bytes = file.readAll();
  try {
    picture.graphic = Graphic::decode(picture.kind, picture.bytes);
  } catch (const DecoderError& e) {
    fail(QStringLiteral("图片文件 %1 已损坏：%2").arg(named(path), toQString(e.message())));
  }
  return picture;
}

QImage loadPicture(const QString& path) { return readPictureFile(path).graphic.toImage(); }

}  // namespace kelpo
