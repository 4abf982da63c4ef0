#include "tools/command_file_io.h"

#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstring>

#include "core/cp932_codec.h"
#include "platform/profile.h"

namespace quorel {

QString CommandFileText(const QByteArray& bytes) {
  // A CP932 trail byte is never CR or LF, so the line ends can be found
  // after decoding.
  const QString decoded = cp932::Decode(bytes);
  QString text;
  text.reserve(decoded.size() + decoded.size() / 8 + 2);
  qsizetype from = 0;
  const qsizetype n = decoded.size();
  while (from < n) {
    qsizetype end = from;
    while (end < n && decoded.at(end) != QLatin1Char('\r') && decoded.at(end) != QLatin1Char('\n')) ++end;
    text += QStringView(decoded).mid(from, end - from);
    text += QLatin1String("\r\n");
    if (end < n && decoded.at(end) == QLatin1Char('\r') && end + 1 < n && decoded.at(end + 1) == QLatin1Char('\n'))
      ++end;
    from = end + 1;
  }
  return text;
}

QByteArray CommandFileBytes(const QString& text) {
  QByteArray bytes = cp932::Encode(text);
  if (!bytes.isEmpty() && !bytes.endsWith("\r\n")) bytes.append("\r\n");
  return bytes;
}

bool ReadCommandFile(const QString& path, QString* text, QString* error) {
  const QFileInfo info(path);
  if (!info.exists()) {
    *error = QStringLiteral("ファイルがありません。");
    return false;
  }
  if (!info.isFile()) {
    *error = QStringLiteral("ファイルではありません。");
    return false;
  }
  if (info.size() > kMaxCommandFileBytes) {
    *error = QStringLiteral("ファイルが大きすぎます。");
    return false;
  }
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    *error = file.errorString();
    return false;
  }
  const QByteArray bytes = file.read(kMaxCommandFileBytes + 1);
  if (file.error() != QFileDevice::NoError) {
    *error = file.errorString();
    return false;
  }
  if (bytes.size() > kMaxCommandFileBytes) {
    *error = QStringLiteral("ファイルが大きすぎます。");
    return false;
  }
  *text = CommandFileText(bytes);
  return true;
}

bool WriteCommandFile(const QString& path, const QString& text, QString* error) {
  const QByteArray bytes = CommandFileBytes(text);
  if (plat::WriteFileAtomic(QFile::encodeName(path).toStdString(), bytes.toStdString())) return true;
  const int code = errno;
  *error = code != 0 ? QString::fromLocal8Bit(std::strerror(code)) : QStringLiteral("書き込みに失敗しました。");
  return false;
}

}  // namespace quorel
