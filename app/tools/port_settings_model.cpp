#include "tools/port_settings_model.h"

#include <QCoreApplication>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QRegularExpression>
#include <QStandardPaths>
#include <algorithm>
#include <cmath>
#include <limits>

#include "core/default_settings.h"
#include "core/dialogs.h"
#include "core/folders.h"
#include "core/main_module.h"
#include "core/settings_file.h"
#include "core/startup.h"
#include "platform/com_map.h"

namespace quorel {
namespace {

constexpr int64_t kInt16Max = std::numeric_limits<int16_t>::max();
constexpr int64_t kInt32Max = std::numeric_limits<int32_t>::max();

const NumberRule kRules[kNumberBoxes] = {
    {"TxtACKTimer", "ACK / NAK Timer", 0, kInt32Max},
    {"TxtNakBccRetry", "NAK Retry", -1, kInt16Max},
    {"TxtTAckNakTimeOutRetry", "ACK/NAK TimeOut Retry", -1, kInt16Max},
    {"TxtAckNakWaitRetry", "ACK / NAK Retry Wait Timer", 0, kInt32Max},
    {"TxtResTimer", "Response Timer", 0, kInt32Max},
    {"TxtTRespTimeOutRetry", "Response TimeOut Retry", -1, kInt16Max},
    {"TxtRespWaitRetry", "Response Retry Wait Timer", 0, kInt32Max},
};

const char* const kEventKeys[10] = {"0_EVT_RXCHAR",    "1_EVT_TXEMPTY", "2_EVT_ERR_FRAME", "3_EVT_ERR_OVERRUN",
                                    "4_EVT_ERR_PARITY", "5_EVT_CTS",     "6_EVT_DSR",       "7_EVT_RLSD",
                                    "8_EVT_BREAK",      "9_EVT_RING"};

// A decimal number and nothing else: sign, digits, an optional fraction.
const QRegularExpression& NumberPattern() {
  static const QRegularExpression re(QStringLiteral("^\\s*([+-]?)(\\d*)(?:\\.(\\d*))?\\s*$"));
  return re;
}

// The digits of a number text, or nothing when the text is no number.
struct NumberParts {
  bool negative = false;
  QString whole;     // without leading zeros, "0" for none
  QString fraction;  // without trailing zeros
};
std::optional<NumberParts> SplitNumber(const QString& text) {
  const QRegularExpressionMatch match = NumberPattern().match(text);
  if (!match.hasMatch()) return std::nullopt;
  NumberParts p;
  p.negative = match.captured(1) == QLatin1String("-");
  p.whole = match.captured(2);
  p.fraction = match.captured(3);
  if (p.whole.isEmpty() && p.fraction.isEmpty()) return std::nullopt;
  while (p.whole.size() > 1 && p.whole.startsWith(QLatin1Char('0'))) p.whole.remove(0, 1);
  if (p.whole.isEmpty()) p.whole = QStringLiteral("0");
  while (p.fraction.endsWith(QLatin1Char('0'))) p.fraction.chop(1);
  return p;
}

QString Flag(int16_t v) { return QString::number(v); }

QString& PendingWipe() {
  static QString path;
  return path;
}

}  // namespace

const ItemList& BaudItems() {
  static const ItemList items{{QStringLiteral("115200bps"), 115200}, {QStringLiteral(" 57600bps"), 57600},
                              {QStringLiteral(" 38400bps"), 38400},  {QStringLiteral(" 19200bps"), 19200},
                              {QStringLiteral("  9600bps"), 9600},   {QStringLiteral("  4800bps"), 4800},
                              {QStringLiteral("  2400bps"), 2400},   {QStringLiteral("  1200bps"), 1200}};
  return items;
}

const ItemList& ParityItems() {
  static const ItemList items{{QStringLiteral("N:パリティなし"), 0},
                              {QStringLiteral("O:奇数パリティ"), 1},
                              {QStringLiteral("E:偶数パリティ"), 2}};
  return items;
}

const ItemList& DataBitItems() {
  static const ItemList items{{QStringLiteral("8 bit"), 8}, {QStringLiteral("7 bit"), 7}};
  return items;
}

const ItemList& LogModeItems() {
  static const ItemList items{{QStringLiteral("-1: ログファイルを出力しない。"), -1},
                              {QStringLiteral(" 0: ログファイルを出力する。(エラーと各情報)"), 0},
                              {QStringLiteral(" 1: ログファイルを出力する。(エラーのみ)"), 1},
                              {QStringLiteral(" 2: ログをメモリに出力する。(エラーと各情報)"), 2},
                              {QStringLiteral(" 3: ログをメモリに出力する。(エラーのみ)"), 3}};
  return items;
}

ItemList InitialPortItems() {
  ItemList items;
  for (int n = 1; n <= 100; ++n) items.push_back({QStringLiteral("Com%1").arg(n), n});
  return items;
}

ItemList ManualPortItems() {
  ItemList items;
  for (int n = kMinPort; n <= kMaxPort; ++n) items.push_back({QStringLiteral("COM%1").arg(n), n});
  return items;
}

int PortNumberOf(const QString& text) {
  // The leading digits behind "COM" ("COM12x" -> 12); far too large numbers
  // stop growing, as no port has them.
  const QString rest = text.mid(3).trimmed();
  int n = 0;
  for (qsizetype i = 0; i < rest.size() && rest.at(i) >= QLatin1Char('0') && rest.at(i) <= QLatin1Char('9') && n < 1000000; ++i)
    n = n * 10 + rest.at(i).digitValue();
  return n;
}

ItemList ParsePortNames(const QString& names, int32_t result, int count) {
  ItemList items;
  if (result <= 0 || count <= 0) return items;
  qsizetype from = 0;
  for (int k = 1; k <= count; ++k) {
    qsizetype comma = k < count ? names.indexOf(QLatin1Char(','), from) : -1;
    const QString piece = comma < 0 ? names.mid(from) : names.mid(from, comma - from);
    items.push_back({piece, PortNumberOf(piece)});
    if (comma < 0) {
      from = names.size();
    } else {
      from = comma + 1;
    }
  }
  return items;
}

int IndexOfData(const ItemList& items, int data) {
  for (size_t i = 0; i < items.size(); ++i)
    if (items[i].data == data) return static_cast<int>(i);
  return -1;
}

int EnsurePortItem(ItemList& items, int port) {
  const int found = IndexOfData(items, port);
  if (found >= 0 || port < kMinPort || port > kMaxPort) return found;
  auto at = std::find_if(items.begin(), items.end(), [port](const ListItem& i) { return i.data > port; });
  at = items.insert(at, {QStringLiteral("COM%1").arg(port), port});
  return static_cast<int>(at - items.begin());
}

bool LogFolderEditable(int logMode) { return logMode == 0 || logMode == 1; }

QString FolderWithSeparator(const QString& folder) {
  if (folder.isEmpty() || folder.endsWith(QLatin1Char('/'))) return folder;
  return folder + QLatin1Char('/');
}

QString LibraryLogFileName(const QString& logFolder) { return JoinPath(logFolder, QStringLiteral("Vantor_%03d.log")); }

QString AbsoluteNumberText(const QString& text) {
  const std::optional<NumberParts> p = SplitNumber(text);
  if (!p) return text;
  return p->fraction.isEmpty() ? p->whole : p->whole + QLatin1Char('.') + p->fraction;
}

const NumberRule& RuleOf(NumberBox box) { return kRules[static_cast<int>(box)]; }

std::optional<int64_t> ParseNumberBox(NumberBox box, const QString& text) {
  const std::optional<NumberParts> p = SplitNumber(text);
  if (!p) return std::nullopt;
  const NumberRule& rule = RuleOf(box);
  // Far beyond every range: refused before any arithmetic.
  if (p->whole.size() > 12) return std::nullopt;
  const QString digits = p->whole + QLatin1Char('.') + (p->fraction.isEmpty() ? QStringLiteral("0") : p->fraction);
  bool ok = false;
  const double magnitude = QLocale::c().toDouble(digits, &ok);
  if (!ok) return std::nullopt;
  const double value = std::nearbyint(p->negative ? -magnitude : magnitude);  // halves to even
  if (value < static_cast<double>(rule.min) || value > static_cast<double>(rule.max)) return std::nullopt;
  return static_cast<int64_t>(value);
}

QString NumberBoxError(NumberBox box) {
  const NumberRule& rule = RuleOf(box);
  QString text = QStringLiteral("「%1」の値が正しくありません。\r\n%2 から %3 までの数値を入力してください。")
                     .arg(QLatin1String(rule.field))
                     .arg(rule.min)
                     .arg(rule.max);
  if (rule.min < 0) text += QStringLiteral("(-1：無限)");
  return text;
}

bool PortSettings::operator==(const PortSettings& o) const {
  return port == o.port && baud == o.baud && parity == o.parity && dataBit == o.dataBit && useCTS == o.useCTS &&
         useDSR == o.useDSR && ackTimer == o.ackTimer && nakRetry == o.nakRetry &&
         ackNakTimeoutMsgFlag == o.ackNakTimeoutMsgFlag && ackNakTimeoutRetry == o.ackNakTimeoutRetry &&
         ackRetryWaitTimer == o.ackRetryWaitTimer && respTimer == o.respTimer &&
         respTimeoutMsgFlag == o.respTimeoutMsgFlag && respTimeoutRetry == o.respTimeoutRetry &&
         resRetryWaitTimer == o.resRetryWaitTimer && events == o.events && logFolder == o.logFolder;
}

ParsedSettings ParseForm(const PortSettingsForm& form) {
  ParsedSettings out;
  std::array<int64_t, kNumberBoxes> n{};
  for (int b = 0; b < kNumberBoxes; ++b) {
    const std::optional<int64_t> v = ParseNumberBox(static_cast<NumberBox>(b), form.numbers[static_cast<size_t>(b)]);
    if (!v) {
      out.badBox = static_cast<NumberBox>(b);
      return out;
    }
    n[static_cast<size_t>(b)] = *v;
  }
  const auto at = [&n](NumberBox b) { return n[static_cast<size_t>(b)]; };
  PortSettings s;
  s.port = static_cast<int16_t>(form.port);
  s.baud = form.baud;
  s.parity = ParityItems()[static_cast<size_t>(std::clamp(form.parity, 0, 2))].text.left(1);
  s.dataBit = static_cast<int16_t>(form.dataBit);
  s.useCTS = form.cts ? 1 : 0;
  s.useDSR = form.dsr ? 1 : 0;
  s.ackTimer = static_cast<int32_t>(at(NumberBox::kAckTimer));
  s.nakRetry = static_cast<int16_t>(at(NumberBox::kNakRetry));
  s.ackNakTimeoutMsgFlag = form.ackNakMsgBox ? 1 : 0;
  s.ackNakTimeoutRetry = static_cast<int16_t>(at(NumberBox::kAckNakTimeoutRetry));
  s.ackRetryWaitTimer = static_cast<int32_t>(at(NumberBox::kAckRetryWait));
  s.respTimer = static_cast<int32_t>(at(NumberBox::kRespTimer));
  s.respTimeoutMsgFlag = form.respMsgBox ? 1 : 0;
  s.respTimeoutRetry = static_cast<int16_t>(at(NumberBox::kRespTimeoutRetry));
  s.resRetryWaitTimer = static_cast<int32_t>(at(NumberBox::kRespRetryWait));
  for (size_t i = 0; i < s.events.size(); ++i) s.events[i] = form.events[i] ? 1 : 0;
  s.logFolder = FolderWithSeparator(form.logFolder);
  out.settings = s;
  return out;
}

PortSettings SettingsOf(const MainModule& m) {
  PortSettings s;
  s.port = m.gPort;
  s.baud = m.gBoud;
  s.parity = m.gParity;
  s.dataBit = m.gDataBit;
  s.useCTS = m.gUseCTS;
  s.useDSR = m.gUseDSR;
  s.ackTimer = m.gAckTimer;
  s.nakRetry = m.gNakRetry;
  s.ackNakTimeoutMsgFlag = m.gAckNakTimeoutMsgFlag;
  s.ackNakTimeoutRetry = m.gAckNakTimeoutRetry;
  s.ackRetryWaitTimer = m.gAckRetryWaitTimer;
  s.respTimer = m.gRespTimer;
  s.respTimeoutMsgFlag = m.gRespTimeoutMsgFlag;
  s.respTimeoutRetry = m.gRespTimeoutRetry;
  s.resRetryWaitTimer = m.gResRetryWaitTimer;
  for (size_t i = 0; i < s.events.size(); ++i) s.events[i] = m.gEvtFlags[i];
  s.logFolder = FolderWithSeparator(m.gLogOutPath);
  return s;
}

void ApplySettings(const PortSettings& s, MainModule& m) {
  m.gPort = s.port;
  m.gBoud = s.baud;
  m.gParity = s.parity;
  m.gDataBit = s.dataBit;
  m.gUseCTS = s.useCTS;
  m.gUseDSR = s.useDSR;
  m.gAckTimer = s.ackTimer;
  m.gNakRetry = s.nakRetry;
  m.gAckNakTimeoutMsgFlag = s.ackNakTimeoutMsgFlag;
  m.gAckNakTimeoutRetry = s.ackNakTimeoutRetry;
  m.gAckRetryWaitTimer = s.ackRetryWaitTimer;
  m.gRespTimer = s.respTimer;
  m.gRespTimeoutMsgFlag = s.respTimeoutMsgFlag;
  m.gRespTimeoutRetry = s.respTimeoutRetry;
  m.gResRetryWaitTimer = s.resRetryWaitTimer;
  for (size_t i = 0; i < s.events.size(); ++i) m.gEvtFlags[i] = s.events[i];
  m.gLogOutPath = s.logFolder;
}

void WritePortSettings(const MainModule& m) {
  const QString& ini = m.gIniPath;
  WriteIni(InstanceSection(QStringLiteral("Path")), QStringLiteral("Data"), m.gDataPath, ini);
  WriteIni(InstanceSection(QStringLiteral("Timer")), QStringLiteral("Timer1"), QString::number(m.gRespTimer), ini);
  const QString comm = InstanceSection(QStringLiteral("Comm"));
  const QString parity = m.gParity == QLatin1String("N")   ? QStringLiteral("0")
                         : m.gParity == QLatin1String("O") ? QStringLiteral("1")
                                                            : QStringLiteral("2");
  const std::pair<const char*, QString> keys[] = {
      {"Port", QString::number(m.gPort)},
      {"Boud", QString::number(m.gBoud)},
      {"Parity", parity},
      {"DataBit", QString::number(m.gDataBit)},
      {"DSR", Flag(m.gUseDSR)},
      {"CTS", Flag(m.gUseCTS)},
      {"AckTimer", QString::number(m.gAckTimer)},
      {"RespTimer", QString::number(m.gRespTimer)},
      {"NakRetry", QString::number(m.gNakRetry)},
      {"AckNakTimeoutMsgFlag", Flag(m.gAckNakTimeoutMsgFlag)},
      {"AckNakTimeoutRetry", QString::number(m.gAckNakTimeoutRetry)},
      {"RespTimeoutMsgFlag", Flag(m.gRespTimeoutMsgFlag)},
      {"RespTimeoutRetry", QString::number(m.gRespTimeoutRetry)},
      {"AckRetryWaitTimer", QString::number(m.gAckRetryWaitTimer)},
      {"ResRetryWaitTimer", QString::number(m.gResRetryWaitTimer)},
  };
  for (const auto& [key, value] : keys) WriteIni(comm, QLatin1String(key), value, ini);
  const QString events = InstanceSection(QStringLiteral("COMEvent"));
  for (size_t i = 0; i < 10; ++i) WriteIni(events, QLatin1String(kEventKeys[i]), Flag(m.gEvtFlags[i]), ini);
  // Read at start-up from the section all copies share.
  WriteIni(QStringLiteral("Path"), QStringLiteral("LogOutPath"), m.gLogOutPath, ini);
}

void WriteLibraryLogSettings(const MainModule& m, int logMode) {
  if (ReadIni(QStringLiteral("Application"), QStringLiteral("Name"), m.gDllIniPath) !=
      QLatin1String("VantorDLL INI File"))
    CreateDefaultDllIni();
  WriteIni(QStringLiteral("Log"), QStringLiteral("Logging"), QString::number(logMode), m.gDllIniPath);
  WriteIni(QStringLiteral("Log"), QStringLiteral("LogFileName"), LibraryLogFileName(m.gLogOutPath), m.gDllIniPath);
}

const QStringList& HardwareViewers() {
  static const QStringList viewers{QStringLiteral("gnome-device-manager"), QStringLiteral("kinfocenter"),
                                   QStringLiteral("hardinfo2"), QStringLiteral("hardinfo"),
                                   QStringLiteral("lshw-gtk")};
  return viewers;
}

QString FindHardwareViewer() {
  for (const QString& name : HardwareViewers()) {
    const QString path = QStandardPaths::findExecutable(name);
    if (!path.isEmpty()) return path;
  }
  return QString();
}

QString SerialDevicesText(const QString& portNames, int32_t result, int count) {
  const ItemList ports = ParsePortNames(portNames, result, count);
  if (ports.empty()) return QStringLiteral("ハードウェアの表示プログラムがありません。\r\nシリアルポートは見つかりませんでした。");
  QString text = QStringLiteral("ハードウェアの表示プログラムがありません。\r\n見つかったシリアルポート:");
  for (const ListItem& port : ports) {
    const QString device = QString::fromStdString(plat::ComDevicePath(port.data));
    text += QStringLiteral("\r\n") + port.text;
    if (device.isEmpty()) continue;
    text += QStringLiteral("  ") + device;
    const QFileInfo info(device);
    if (info.isSymLink() && !info.canonicalFilePath().isEmpty()) text += QStringLiteral(" -> ") + info.canonicalFilePath();
  }
  return text;
}

void RequestSettingsWipe(const QString& iniPath) {
  static bool hooked = false;
  PendingWipe() = iniPath;
  if (hooked || !QCoreApplication::instance()) return;
  hooked = true;
  if (QCoreApplication::instance())
    QObject::connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, QCoreApplication::instance(),
                     &FinishSettingsWipe);
}

QString PendingSettingsWipe() { return PendingWipe(); }

void FinishSettingsWipe() {
  if (PendingWipe().isEmpty()) return;
  // Every window closes first: each writes its keys as it goes, and none may
  // write after the file is gone.
  UnloadAllForms();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  const QString path = PendingWipe();
  QString error;
  if (!RunSettingsWipe(&error)) {
    MsgBox(QStringLiteral("設定ファイルを削除できませんでした。\r\n") + path + QStringLiteral("\r\n") + error,
           BoxButtons::kOk, BoxIcon::kCritical);
  }
}

bool RunSettingsWipe(QString* error) {
  const QString path = PendingWipe();
  if (path.isEmpty()) return true;
  QFile file(path);
  // No file: nothing to wipe, the next start writes the defaults all the same.
  if (!file.exists()) {
    PendingWipe().clear();
    return true;
  }
  if (!file.remove()) {
    *error = file.errorString();
    return false;
  }
  PendingWipe().clear();
  return true;
}

}  // namespace quorel
