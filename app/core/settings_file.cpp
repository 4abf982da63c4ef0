#include "core/settings_file.h"

#include <QFile>
#include <string>

#include "core/cp932_codec.h"
#include "core/main_module.h"
#include "platform/profile.h"

namespace quorel {
namespace {

// Values longer than this are cut, as a caller's fixed buffer would cut them.
constexpr size_t kMaxValueBytes = 1023;

std::string Bytes(const QString& text) { return cp932::Encode(text).toStdString(); }

std::string FileName(const QString& file) { return QFile::encodeName(file).toStdString(); }

}  // namespace

QString ReadIni(const QString& section, const QString& key, const QString& file) {
  std::string value = plat::ProfileGetString(FileName(file), Bytes(section), Bytes(key), std::string());
  if (value.size() > kMaxValueBytes) value.resize(kMaxValueBytes);
  const size_t nul = value.find('\0');
  if (nul != std::string::npos) value.resize(nul);
  mm().gIniTextLen = static_cast<int32_t>(value.size());
  return cp932::Decode(QByteArray(value.data(), static_cast<qsizetype>(value.size())));
}

void WriteIni(const QString& section, const QString& key, const QString& value, const QString& file) {
  const std::string k = Bytes(key);
  const std::string v = Bytes(value);
  plat::ProfileWriteString(FileName(file), Bytes(section), k.c_str(), v.c_str());
}

}  // namespace quorel
