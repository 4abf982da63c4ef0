#include "print/bmp_job_commands.h"

#include <QStringList>

#include "core/print_pages.h"

namespace quorel {

bool AreaHasText(int area) { return area == kTextArea || area == kShortTextArea; }

QString TrackCode(int trackOption) {
  if (trackOption == 0) return QStringLiteral("C1H1");
  if (trackOption == 1) return QStringLiteral("C2H2");
  return QStringLiteral("C0H0");
}

QString MagneticText(const BmpMessageLines& lines, int area) {
  QString text = lines[1] + lines[2] + lines[3];
  if (area != kShortTextArea) text += lines[4];
  return text.size() >= 70 ? text.left(69) : text;
}

QString BmpModeCommand(const QString& trackCode, int area, const QString& cardKind) {
  const QString areaLetter = area == kShortTextArea ? QStringLiteral("0") : QStringLiteral("6");
  return print::ModeCommand(trackCode + QStringLiteral("X0N0Y") + areaLetter + QStringLiteral("K0F0B") + cardKind);
}

QString TrackDataCommand(const QString& trackCode, const QString& magneticText) {
  if (trackCode == QLatin1String("C0H0")) return QString();
  return QStringLiteral("WD:") + trackCode.mid(1, 1) + QLatin1Char('/') + magneticText;
}

QString TextBlockCommand(const BmpMessageLines& lines, int area) {
  if (!AreaHasText(area)) return QString();
  const QString row = area == kTextArea ? QStringLiteral("Y390") : QStringLiteral("Y528");
  QStringList page{print::Esc(QStringLiteral("e22")) + lines[0],
                   print::Esc(QStringLiteral("e11")) + print::Esc(row) + lines[1], lines[2], lines[3]};
  if (area != kShortTextArea) page << lines[4];
  return print::PageCommand(QStringLiteral("0/0/32/"), page);
}

std::optional<int> LibraryBufferSize(int option, const QString& text) {
  if (option == 0) return 512;
  if (option == 1) return 1024;
  bool ok = false;
  const int value = text.trimmed().toInt(&ok, 10);
  if (!ok || value < kMinBufferSize || value > kMaxBufferSize) return std::nullopt;
  return value;
}

QString BufferSizeRefusal() {
  return QStringLiteral("Buffer size: enter a whole number from %1 to %2.").arg(kMinBufferSize).arg(kMaxBufferSize);
}

int16_t LibraryRetries(int16_t nakRetry) { return nakRetry < 0 ? int16_t{3} : nakRetry; }

}  // namespace quorel
