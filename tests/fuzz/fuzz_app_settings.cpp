// The program's reading of settings values: whatever bytes a settings file
// holds, decoding, number reading, the command-text macros and money values
// must not crash, and what they promise must hold.
#include <fcntl.h>
#include <unistd.h>

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "fuzz_support.h"
#include "core/conversions.h"
#include "core/cp932_codec.h"
#include "core/currency.h"
#include "core/dialogs.h"
#include "core/settings_file.h"
#include "core/text_macros.h"
#include "platform/profile.h"

namespace {

using namespace quorel;

// Answers every box at once: the digit-range box may come up.
class SilentDialogs : public DialogHost {
 public:
  BoxAnswer Box(const BoxRequest& r) override { return CloseAnswer(r.buttons); }
  std::optional<QString> Input(const InputRequest&) override { return std::nullopt; }
  QString OpenFile(const FileRequest&) override { return QString(); }
  QString SaveFile(const FileRequest&) override { return QString(); }
  QString Folder(const FileRequest&) override { return QString(); }
  int Modal(QDialog&) override { return 0; }
};

const std::string& TempFile() { return fuzzsupport::ScratchFile("fuzz_app_settings", ".ini"); }

void Check(bool ok, const char* what) { fuzzsupport::Check(ok, "fuzz_app_settings", what); }

void CheckValue(const QString& value) {
  const int64_t n = LeadingNumber(value, -32768, 32767);
  Check(n >= -32768 && n <= 32767, "number out of its range");
  Check(AnsiByteLen(value) == cp932::Encode(value).size(), "byte length differs from the encoder");
  const QString expanded = ExpandCtrlMacros(value);
  Check(expanded.size() <= value.size(), "control macros made the text longer");
  CtrlCharsToMacros(expanded);
  ExpandTextMacros(value);
  HexToBin(value);
  BinToHex(value);
  ThermistorToCelsius(value.left(2));
  HexPairToInt(value.left(2));
  if (const std::optional<Currency> c = ParseCurrency(value)) {
    Check(ParseCurrency(CurrencyStr(*c)) == c, "money value does not read back");
    for (int mode = 0; mode < 3; ++mode) RoundCurrency(*c, mode, mode);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static SilentDialogs dialogs;
  SetDialogHost(&dialogs);
  const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  CheckValue(cp932::Decode(bytes));

  const std::string& file = TempFile();
  const int fd = open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  if (fd < 0) return 0;
  const bool written = size == 0 || write(fd, data, size) == static_cast<ssize_t>(size);
  close(fd);
  if (!written) return 0;
  const QString ini = QString::fromStdString(file);
  const auto sections = plat::ProfileSections(file);
  for (size_t s = 0; s < sections.size() && s < 4; ++s) {
    const QString section = cp932::Decode(QByteArray::fromStdString(sections[s]));
    const auto keys = plat::ProfileKeys(file, sections[s]);
    for (size_t k = 0; k < keys.size() && k < 8; ++k) {
      const QString value = ReadIni(section, cp932::Decode(QByteArray::fromStdString(keys[k])), ini);
      Check(cp932::Encode(value).size() <= 1023, "value longer than 1023 bytes");
      CheckValue(value);
    }
  }
  return 0;
}
