// Any byte string given as a packed skin or as SkinStream bytes must end in a skin or a clear
// refusal: no crash, no hang, no read outside the buffer, no allocation the bytes cannot justify.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/message_box.h"
#include "skin/skin_data.h"
#include "skin/skin_error.h"
#include "skin/skin_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static bool ready = [] {
    kelpo::setMessageHook([](const kelpo::MessageRecord&) { return QMessageBox::Ok; });
    return true;
  }();
  (void)ready;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  try {
    kelpo::skin::TSkinReader reader;
    if (reader.load(bytes)) {
      std::string item, name;
      reader.findItemContaining(".ini", item, name);
      for (std::size_t i = 0; i < reader.names().size(); ++i) (void)reader.item(i);
    }
  } catch (const kelpo::skin::SkinDamagedError&) {
  }
  // The component swallows what the reader refuses and keeps no skin.
  kelpo::skin::TSkinData skinData;
  skinData.readSkinStream(bytes);
  if (skinData.loaded() && !skinData.skin()) __builtin_trap();
  return 0;
}
