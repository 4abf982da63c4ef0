#include "testbench/identity_job.h"

#include <QRegularExpression>

#include "core/cp932_codec.h"
#include "core/form_controls.h"
#include "core/job_host.h"
#include "core/main_module.h"
#include "testbench/bench_job.h"

namespace quorel {
namespace {

struct ItemControls {
  const char* result;    // result label
  const char* text;      // the entry box pair
  const char* check;     // the entry-mode pair
  const char* read;      // the read command
};

const ItemControls& Controls(IdentityItem item) {
  static const ItemControls kItems[] = {
      {"LbBarCodeLabel", "TxtBarCodeLabel", "ChkBarcodeLabel", "eer:80/02"},
      {"LbDeviceSerial", "TxtDeviceSerial", "ChkDeviceSerial", "eer:82/03"},
      {"lbDate", "TxtDate", "ChkDate", "eer:85/02"},
  };
  return kItems[static_cast<int>(item)];
}

QString Hex(QChar c) { return QString::fromLatin1(cp932::Encode(QString(c)).toHex().toUpper()); }

}  // namespace

QString MonthLetter(int month) {
  return month >= 1 && month <= 12 ? QString(QLatin1Char(static_cast<char>('A' + month - 1))) : QString();
}

std::optional<QString> SerialPrefix(const QString& year, const QString& month, const QString& letter,
                                    const QString& listText) {
  bool ok = false;
  const double v = month.trimmed().toDouble(&ok);
  if (!ok || v != static_cast<int>(v) || v < 1 || v > 12) return std::nullopt;
  return year.right(2) + MonthLetter(static_cast<int>(v)) + letter + listText.left(1);
}

QString EncodedSerial(const QString& prefix, const QString& sequence) {
  // A prefix short of four characters encodes what it has.
  const QString third = prefix.size() > 2 ? Hex(prefix[2]) : QString();
  const QString fourth = prefix.size() > 3 ? Hex(prefix[3]) : QString();
  return prefix.left(2) + third + fourth + prefix.mid(4, 1) + sequence;
}

bool IdentityWriteValid(const QString& writeCommand) {
  static const QRegularExpression form(QStringLiteral("^eew:[0-9A-Fa-f]{2}/([0-9A-Fa-f]{2})/([0-9A-Fa-f]*)$"));
  const QRegularExpressionMatch match = form.match(writeCommand);
  if (!match.hasMatch()) return false;
  return match.captured(2).size() == 4 * match.captured(1).toInt(nullptr, 16);
}

IdentityJob::IdentityJob(FormControls& ui, JobHost& host, BenchJobState& state)
    : ui_(ui), host_(host), state_(state), today_([] { return QDate::currentDate(); }) {}

QString IdentityJob::WriteCommand(IdentityItem item) const {
  const QString name = QLatin1String(Controls(item).text);
  const bool normal = ui_.Ticked(QLatin1String(Controls(item).check), 0);
  switch (item) {
    case IdentityItem::kBarCode:
      return normal ? QStringLiteral("eew:80/02/0") + ui_.Text(name, 0).trimmed()
                    : QStringLiteral("eew:80/02/") + ui_.Text(name, 1).trimmed();
    case IdentityItem::kSerial:
      return normal ? QStringLiteral("eew:82/03/") +
                          EncodedSerial(ui_.Text(QStringLiteral("LbInputDeviceSiri")), ui_.Text(name, 0))
                    : QStringLiteral("eew:82/03/") + ui_.Text(name, 1).trimmed();
    case IdentityItem::kDate:
      return normal ? QStringLiteral("eew:85/02/20") + ui_.Text(name, 0).trimmed()
                    : QStringLiteral("eew:85/02/") + ui_.Text(name, 1).trimmed();
  }
  return {};
}

void IdentityJob::Click(IdentityItem item, int index) {
  if (mm().gResetWaiting) return;
  BenchJobScope scope(state_);
  if (!scope.Acquired()) return;  // another bench job runs
  if (index == 0) Read(item);
  else Write(item);
}

void IdentityJob::Read(IdentityItem item) {
  const QString label = QLatin1String(Controls(item).result);
  ui_.SetText(label, -1, QStringLiteral("-------"));
  if (!BenchPortReady(host_, false)) return;
  const bool answered = BenchSend(host_, QLatin1String(Controls(item).read));
  const QString& reply = mm().gReplyText;
  if (!answered) ui_.SetText(label, -1, QStringLiteral("E"));  // no answer of its own
  else if (reply.startsWith(QLatin1String("Aee90"))) ui_.SetText(label, -1, reply.mid(5));
  else ui_.SetText(label, -1, reply);
}

void IdentityJob::Write(IdentityItem item) {
  const QString label = QLatin1String(Controls(item).result);
  const QString command = WriteCommand(item);
  if (!IdentityWriteValid(command)) {
    // Short, blank or non-hex data never reaches the EEPROM.
    ui_.SetText(label, -1, QStringLiteral("Input Error"));
    return;
  }
  ui_.SetText(label, -1, QStringLiteral("-------"));
  if (!BenchPortReady(host_, false)) return;
  const bool answered = BenchSend(host_, command);
  const QString reply = mm().gReplyText;
  if (answered && reply.startsWith(QLatin1String("Aee90"))) Read(item);
  else ui_.SetText(label, -1, answered ? reply : QStringLiteral("E"));
}

void IdentityJob::EntryModeClick(IdentityItem item, int k) {
  const QString check = QLatin1String(Controls(item).check);
  const int other = 1 - k;
  if (ui_.Ticked(check, k)) {
    if (ui_.Ticked(check, other)) {
      ui_.SetValue(check, other, 0);
      if (item != IdentityItem::kBarCode) ApplyMode(item, other);
    }
  } else if (!ui_.Ticked(check, other)) {
    ui_.SetValue(check, other, 1);
    if (item != IdentityItem::kBarCode) ApplyMode(item, other);
  }
  ApplyMode(item, k);
}

void IdentityJob::ApplyMode(IdentityItem item, int k) {
  const QString text = QLatin1String(Controls(item).text);
  const bool normal = k == 0;
  ui_.SetEnabled(text, 0, normal);
  ui_.SetBackColor(text, 0, normal ? kWindowBackground : kButtonFace);
  ui_.SetEnabled(text, 1, !normal);
  ui_.SetBackColor(text, 1, normal ? kButtonFace : kWindowBackground);
  switch (item) {
    case IdentityItem::kBarCode: ui_.SetEnabled(QStringLiteral("LabelBarcodeLabel"), -1, normal); break;
    case IdentityItem::kDate: ui_.SetEnabled(QStringLiteral("LabelDate"), -1, normal); break;
    case IdentityItem::kSerial:
      ui_.SetEnabled(QStringLiteral("LbInputDeviceSiri"), -1, normal);
      for (int i = 0; i < 3; ++i) ui_.SetEnabled(QStringLiteral("TxtDeviceSiri"), i, normal);
      ui_.SetEnabled(QStringLiteral("ListDeviceSrial"), -1, normal);
      ui_.SetEnabled(QStringLiteral("LabelListDeviceSrial"), -1, normal);
      break;
  }
}

void IdentityJob::RebuildPrefix() {
  const QString part = QStringLiteral("TxtDeviceSiri");
  const auto prefix = SerialPrefix(ui_.Text(part, 0), ui_.Text(part, 1), ui_.Text(part, 2),
                                   ui_.Text(QStringLiteral("ListDeviceSrial")));
  if (prefix) ui_.SetText(QStringLiteral("LbInputDeviceSiri"), -1, *prefix);
}

void IdentityJob::SerialPartLeft(int index) {
  const QString part = QStringLiteral("TxtDeviceSiri");
  const QString text = ui_.Text(part, index);
  const QDate today = today_();
  if (index == 0) {
    if (text.size() != 4) ui_.SetText(part, 0, today.toString(QStringLiteral("yyyy")));
  } else if (index == 1) {
    if (text.isEmpty()) ui_.SetText(part, 1, today.toString(QStringLiteral("MM")));
  } else if (text.isEmpty()) {
    ui_.SetText(part, 2, QStringLiteral("A"));
    return;
  }
  RebuildPrefix();
}

void IdentityJob::ListChanged() {
  const QString p = QStringLiteral("LbInputDeviceSiri");
  ui_.SetText(p, -1, ui_.Text(p).left(4) + ui_.Text(QStringLiteral("ListDeviceSrial")).left(1));
}

void IdentityJob::Load() {
  for (int i = 0; i < 3; ++i) {
    ui_.SetText(QStringLiteral("TxtDeviceSiri"), i, QString());
    SerialPartLeft(i);
  }
  // The letter is filled last, after the month rebuilt the prefix without
  // it: build the prefix once more from all three parts.
  RebuildPrefix();
  ui_.SetText(QStringLiteral("TxtDeviceSerial"), 1,
              EncodedSerial(ui_.Text(QStringLiteral("LbInputDeviceSiri")), ui_.Text(QStringLiteral("TxtDeviceSerial"), 0)));
  const QDate today = today_();
  ui_.SetText(QStringLiteral("LabelDate"), -1, today.toString(QStringLiteral("yyyy")).left(2));
  ui_.SetText(QStringLiteral("TxtDate"), 0, today.toString(QStringLiteral("yyMMdd")));
  ui_.SetText(QStringLiteral("TxtDate"), 1, today.toString(QStringLiteral("yyyyMMdd")));
}

}  // namespace quorel
