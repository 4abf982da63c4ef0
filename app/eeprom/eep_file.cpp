#include "eeprom/eep_file.h"

#include <QFile>

#include "core/cp932_codec.h"
#include "core/main_module.h"
#include "core/settings_file.h"
#include "eeprom/eep_rows.h"
#include "platform/profile.h"

namespace quorel::eep {

QString EepTitleSection() { return InstanceSection(QStringLiteral("EEPROM_Data_Title")); }
QString EepAddressSection() { return InstanceSection(QStringLiteral("EEPROM_Address")); }

void WriteEepTitle(const QString& path, Family f) {
  WriteIni(EepTitleSection(), QStringLiteral("Title"), DataFileTitle(f), path);
}

void WriteEepRow(const QString& path, int row, const QString& data) {
  WriteIni(EepAddressSection(), RowLabel(row), data, path);
}

void RemoveEepRow(const QString& path, int row) {
  const QByteArray section = cp932::Encode(EepAddressSection());
  const QByteArray key = cp932::Encode(RowLabel(row));
  plat::ProfileWriteString(QFile::encodeName(path).toStdString(), section.toStdString(), key.constData(), nullptr);
}

EepFileRows ReadEepFile(const QString& path, Family f) {
  EepFileRows out;
  out.titleFits = ReadIni(EepTitleSection(), QStringLiteral("Title"), path) == DataFileTitle(f);
  if (!out.titleFits) return out;
  const QString section = EepAddressSection();
  for (int r = 0; r < RowCount(f); ++r) out.rows << ReadIni(section, RowLabel(r), path);
  return out;
}

}  // namespace quorel::eep
