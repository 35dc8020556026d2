// kelpo-skin: command-line access to packed skins. FILE may be a packed skin or SkinStream
// property bytes; damaged input ends in a message on stderr and exit status 1.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "platform/message_box.h"
#include "platform/text.h"
#include "resources/skin/stored_skin.h"
#include "skin/skin_ini.h"
#include "skin/skin_reader.h"
#include "skin/skin_stream.h"
#include "tools/skin_pack/lzh_encoder.h"
#include "tools/skin_pack/package_writer.h"

namespace {

using namespace kelpo::skin;

struct Failure {
  std::string message;
};

std::string readFile(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) throw Failure{"cannot read " + path.toStdString()};
  const QByteArray bytes = file.readAll();
  return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

void writeFile(const QString& path, const std::string& bytes) {
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly) ||
      file.write(bytes.data(), static_cast<qint64>(bytes.size())) !=
          static_cast<qint64>(bytes.size()))
    throw Failure{"cannot write " + path.toStdString()};
}

// The package of a packed skin or of SkinStream bytes.
TSkinReader load(const QString& path) {
  std::string bytes = readFile(path);
  if (isSkinStream(bytes)) bytes = readSkinStream(bytes);
  TSkinReader reader;
  if (!reader.load(bytes)) throw Failure{"the package is not of version 20000"};
  return reader;
}

int list(const std::vector<QString>& args) {
  if (args.size() != 1) throw Failure{"usage: kelpo-skin list FILE"};
  const TSkinReader reader = load(args[0]);
  std::string description, name;
  if (reader.findItemContaining(".ini", description, name))
    std::printf(
        "skin name: %s\n",
        kelpo::engineToUtf8(TSkinIni(description).readString("TitlebarSkin", "SkinName")).c_str());
  std::printf("%zu items\n", reader.names().size());
  for (std::size_t i = 0; i < reader.names().size(); ++i)
    std::printf("%10d  %s\n", reader.sizes()[i], kelpo::engineToUtf8(reader.names()[i]).c_str());
  return 0;
}

int unpack(const std::vector<QString>& args) {
  if (args.size() != 2) throw Failure{"usage: kelpo-skin unpack FILE OUTDIR"};
  const TSkinReader reader = load(args[0]);
  const QDir dir(args[1]);
  if (!QDir().mkpath(dir.path())) throw Failure{"cannot make " + args[1].toStdString()};
  for (std::size_t i = 0; i < reader.names().size(); ++i) {
    const QString name = kelpo::toQString(reader.names()[i]);
    // Item names are file names; anything that would leave the folder is refused.
    if (name.isEmpty() || name.contains(QLatin1Char('/')) || name.contains(QLatin1Char('\\')) ||
        name == QLatin1String(".") || name == QLatin1String(".."))
      throw Failure{"the item name \"" + kelpo::engineToUtf8(reader.names()[i]) +
                    "\" is not a plain file name"};
    writeFile(dir.filePath(name), std::string(reader.item(i)));
  }
  std::printf("%zu items written to %s\n", reader.names().size(),
              args[1].toLocal8Bit().constData());
  return 0;
}

int pack(const std::vector<QString>& args) {
  if (args.size() != 2) throw Failure{"usage: kelpo-skin pack DIR OUT"};
  const QDir dir(args[0]);
  if (!dir.exists()) throw Failure{"no folder " + args[0].toStdString()};
  std::vector<tools::PackageItem> items;
  for (const QFileInfo& f : dir.entryInfoList(QDir::Files, QDir::Name))
    items.push_back({kelpo::fromQString(f.fileName().toLower()), readFile(f.filePath())});
  if (items.size() > kMaxItems) throw Failure{"a skin holds at most 1001 items"};
  writeFile(args[1], tools::packSkin(tools::writePackage(items)));
  std::printf("%zu items packed into %s\n", items.size(), args[1].toLocal8Bit().constData());
  return 0;
}

int stored(const std::vector<QString>& args) {
  if (args.size() != 1) throw Failure{"usage: kelpo-skin stored OUT"};
  const std::string bytes = kelpo::storedSkinStream();
  if (bytes.empty()) throw Failure{"this build embeds no stored skin"};
  writeFile(args[0], bytes);
  return 0;
}

void usage(std::FILE* to) {
  std::fprintf(to,
               "usage: kelpo-skin COMMAND ARGS\n"
               "  list FILE          the items with their sizes and the skin's name\n"
               "  unpack FILE OUTDIR the items as files\n"
               "  pack DIR OUT       a packed skin from a folder of items\n"
               "  stored OUT         the stored SkinStream bytes as embedded\n"
               "FILE may be a packed skin or SkinStream bytes.\n");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    usage(stderr);
    return 1;
  }
  // Messages the reader would show in a box go to stderr instead.
  kelpo::setMessageHook([](const kelpo::MessageRecord& r) {
    QString text = r.text;
    std::fprintf(stderr, "%s\n",
                 text.replace(QLatin1Char('\r'), QLatin1Char('\n')).toLocal8Bit().constData());
    return QMessageBox::Ok;
  });
  const std::string command = argv[1];
  std::vector<QString> args;
  for (int i = 2; i < argc; ++i) args.push_back(QString::fromLocal8Bit(argv[i]));
  try {
    if (command == "list") return list(args);
    if (command == "unpack") return unpack(args);
    if (command == "pack") return pack(args);
    if (command == "stored") return stored(args);
    if (command == "help" || command == "--help") {
      usage(stdout);
      return 0;
    }
    std::fprintf(stderr, "error: unknown command \"%s\"\n", command.c_str());
    usage(stderr);
    return 1;
  } catch (const Failure& f) {
    std::fprintf(stderr, "error: %s\n", f.message.c_str());
  } catch (const std::exception& e) {
    std::fprintf(stderr, "error: %s\n", kelpo::engineToUtf8(e.what()).c_str());
  }
  return 1;
}
