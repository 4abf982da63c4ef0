#include "print/bmp_settings.h"

#include "core/main_module.h"
#include "core/settings_file.h"

namespace quorel {
namespace {

const QString kOldAreaThreeName = QStringLiteral("Mivor_320x465.bmp");
const QString kAreaThreeName = QStringLiteral("Mivor_320x460_2.bmp");

QString Read(const QString& section, const QString& key) { return ReadIni(section, key, mm().gIniPath); }

void Write(const QString& section, const QString& key, const QString& value) {
  WriteIni(section, key, value, mm().gIniPath);
}

void WriteIndex(const QString& section, const QString& key, int index) {
  if (index >= 0) Write(section, key, QString::number(index));
}

}  // namespace

QString BmpSection() { return InstanceSection(QStringLiteral("BMPDown")); }

int OptionIndex(const QString& text, int count, int fallback) {
  bool ok = false;
  const int v = text.trimmed().toInt(&ok, 10);
  return ok && v >= 0 && v < count ? v : fallback;
}

QString RenamedAreaThreeFile(const QString& value) {
  if (!value.endsWith(kOldAreaThreeName)) return value;
  return value.left(value.size() - kOldAreaThreeName.size()) + kAreaThreeName;
}

BmpSettings LoadBmpSettings() {
  const QString section = BmpSection();
  const BmpChoices defaults;
  BmpSettings s;
  s.fileDir = Read(section, QStringLiteral("FileDir"));
  BmpChoices& c = s.choices;
  c.ibpi = OptionIndex(Read(section, QStringLiteral("IBPIcmd")), 2, defaults.ibpi);
  // Empty (no default is ever written) means "DLL".
  c.tranceMode = OptionIndex(Read(section, QStringLiteral("TranceMode")), 2, defaults.tranceMode);
  c.magTrack = OptionIndex(Read(section, QStringLiteral("MagTrack")), 2, defaults.magTrack);
  c.cardBackColor = OptionIndex(Read(section, QStringLiteral("CardBackColor")), 2, defaults.cardBackColor);
  c.printArea = OptionIndex(Read(section, QStringLiteral("PrintArea")), kPrintAreaCount, defaults.printArea);
  c.bufferSize = OptionIndex(Read(section, QStringLiteral("BufferSize")), 3, defaults.bufferSize);
  c.bufferSizeByte = Read(section, QStringLiteral("BufferSizeByte"));
  for (int i = 0; i < kMessageLineCount; ++i) c.lines[i] = Read(section, QStringLiteral("Line%1").arg(i));
  for (int i = 0; i < kPrintAreaCount; ++i) c.fileNames[i] = Read(section, QStringLiteral("FileName%1").arg(i));
  c.fileNames[3] = RenamedAreaThreeFile(c.fileNames[3]);
  return s;
}

void SaveBmpChoices(const BmpChoices& c) {
  const QString section = BmpSection();
  WriteIndex(section, QStringLiteral("IBPIcmd"), c.ibpi);
  WriteIndex(section, QStringLiteral("MagTrack"), c.magTrack);
  WriteIndex(section, QStringLiteral("CardBackColor"), c.cardBackColor);
  WriteIndex(section, QStringLiteral("TranceMode"), c.tranceMode);
  WriteIndex(section, QStringLiteral("PrintArea"), c.printArea);
  if (c.bufferSize >= 0) {
    Write(section, QStringLiteral("BufferSize"), QString::number(c.bufferSize));
    Write(section, QStringLiteral("BufferSizeByte"), c.bufferSizeByte);
  }
  for (int i = 0; i < kMessageLineCount; ++i) Write(section, QStringLiteral("Line%1").arg(i), c.lines[i]);
  for (int i = 0; i < kPrintAreaCount; ++i) Write(section, QStringLiteral("FileName%1").arg(i), c.fileNames[i]);
}

}  // namespace quorel
