#include "testbench/mem_dump_file.h"

#include <QFile>
#include <cerrno>
#include <cstring>

#include "core/cp932_codec.h"
#include "core/dialogs.h"
#include "core/main_module.h"
#include "platform/profile.h"

namespace quorel {

QString ProposedDumpFileName(const QDateTime& now) {
  return QStringLiteral("MemDum") + now.toString(QStringLiteral("yyMMddHHmmss"));
}

QByteArray DumpFileBytes(const QString& text) {
  QString t = text;
  t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  t.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  t.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
  return cp932::Encode(t + QStringLiteral("\r\n"));
}

std::optional<QString> WriteDumpFile(const QString& path, const QString& text) {
  const QByteArray bytes = DumpFileBytes(text);
  errno = 0;
  if (plat::WriteFileAtomic(QFile::encodeName(path).toStdString(), bytes.toStdString())) return std::nullopt;
  const int error = errno;
  return error != 0 ? QString::fromLocal8Bit(std::strerror(error)) : QStringLiteral("write error");
}

void SaveDumpFile(const QString& text, const QDateTime& now) {
  FileRequest request;
  request.title = QStringLiteral("ファイルパス検索");
  request.folder = mm().gLogOutPath.trimmed();
  request.name = ProposedDumpFileName(now);
  request.filter = QStringLiteral("テキストファイル(*.txt);;すべてのファイル(*.*)");
  const QString path = Dialogs().SaveFile(request);
  if (path.isEmpty()) return;
  if (const std::optional<QString> reason = WriteDumpFile(path, text))
    MsgBox(QStringLiteral("ファイルを保存できませんでした。\r\n") + path + QStringLiteral("\r\n") + *reason,
           BoxButtons::kOk, BoxIcon::kCritical, QStringLiteral("MemoryDump"));
}

}  // namespace quorel
