#include "core/startup.h"

#include <QApplication>
#include <QDir>
#include <QPointer>
#include <QWidget>
#include <algorithm>
#include <limits>
#include <memory>

#include "core/conversions.h"
#include "core/default_settings.h"
#include "core/folders.h"
#include "core/instance_locks.h"
#include "core/main_form.h"
#include "core/main_module.h"
#include "core/settings_file.h"
#include "core/versions.h"

namespace quorel {
namespace {

const QString kMultiFormTab = QStringLiteral("MultiFormTab");

// Held from start to exit: this copy's instance lock.
std::unique_ptr<InstanceLocks>& Locks() {
  static std::unique_ptr<InstanceLocks> locks;
  return locks;
}

int16_t ReadInt16(const QString& section, const QString& key, const QString& file) {
  return static_cast<int16_t>(LeadingNumber(ReadIni(section, key, file), std::numeric_limits<int16_t>::min(),
                                            std::numeric_limits<int16_t>::max()));
}

int32_t ReadInt32(const QString& section, const QString& key, const QString& file) {
  return static_cast<int32_t>(LeadingNumber(ReadIni(section, key, file), std::numeric_limits<int32_t>::min(),
                                            std::numeric_limits<int32_t>::max()));
}

void InitControlChars(MainModule& m) {
  m.gSOH = QChar(1);
  m.gSI = QChar(15);
  m.gSO = QChar(14);
  m.gESC = QChar(27);
  m.gLF = QChar(10);
}

void ClearChannel(MainModule& m) {
  m.gSendPending = m.gPolling = m.gLineBusy = m.gPollBusy = 0;
  for (QString* s : {&m.gSendCommand, &m.gReplyCommand, &m.gReplyText, &m.gReplyKind, &m.gReplyStatus,
                     &m.gVersionText, &m.gThTphRank, &m.gThTphTemp, &m.gThErRank, &m.gThErLot, &m.gThErTemp,
                     &m.gThBoardTemp})
    s->clear();
}

// A copy that finds no other running takes the stored Counter and writes
// nothing. Otherwise it takes the lowest number no running copy holds (the
// stored Counter may name a running copy once one in the middle has ended),
// records it as Counter and, the first time that number is used, raises
// MaxCounter and writes the number's default sections.
void TakeInstanceNumber(MainModule& m) {
  auto& locks = Locks();
  locks = std::make_unique<InstanceLocks>(InstanceLocks::DirFor(SettingsDir()));
  const InstanceLocks::Guard guard(*locks);
  const int maxCounter = ReadInt16(kMultiFormTab, QStringLiteral("MaxCounter"), m.gIniPath);
  const int counter = std::max<int>(0, ReadInt16(kMultiFormTab, QStringLiteral("Counter"), m.gIniPath));
  const std::vector<int> held = locks->HeldByOthers();
  if (held.empty()) {
    locks->Take(counter);
    m.gInstanceNo = static_cast<int16_t>(counter);
    return;
  }
  int n = 0;
  while (n < std::numeric_limits<int16_t>::max() &&
         (std::binary_search(held.begin(), held.end(), n) || !locks->Take(n)))
    ++n;
  m.gInstanceNo = static_cast<int16_t>(n);
  WriteIni(kMultiFormTab, QStringLiteral("Counter"), QString::number(n), m.gIniPath);
  if (maxCounter < n) {
    WriteIni(kMultiFormTab, QStringLiteral("MaxCounter"), QString::number(n), m.gIniPath);
    CreateDefaultIni(n);
  }
}

void LoadCommSettings(MainModule& m) {
  const QString s = InstanceSection(QStringLiteral("Comm"));
  const QString& ini = m.gIniPath;
  m.gPort = ReadInt16(s, QStringLiteral("Port"), ini);
  m.gBoud = ReadInt32(s, QStringLiteral("Boud"), ini);
  m.gDataBit = ReadInt16(s, QStringLiteral("DataBit"), ini);
  const QString parity = ReadIni(s, QStringLiteral("Parity"), ini);
  m.gParity = parity == QLatin1String("0")   ? QStringLiteral("N")
              : parity == QLatin1String("1") ? QStringLiteral("O")
              : parity == QLatin1String("2") ? QStringLiteral("E")
                                             : QString();
  m.gUseDSR = ReadInt16(s, QStringLiteral("DSR"), ini);
  m.gUseCTS = ReadInt16(s, QStringLiteral("CTS"), ini);
  m.gAckTimer = ReadInt32(s, QStringLiteral("AckTimer"), ini);
  m.gRespTimer = ReadInt32(s, QStringLiteral("RespTimer"), ini);
  m.gNakRetry = ReadInt16(s, QStringLiteral("NakRetry"), ini);

  // Files of older versions lack the time-out keys: add their defaults.
  const auto isFlag = [](const QString& v) { return v == QLatin1String("1") || v == QLatin1String("0"); };
  if (!isFlag(ReadIni(s, QStringLiteral("AckNakTimeoutMsgFlag"), ini))) {
    WriteIni(s, QStringLiteral("AckNakTimeoutMsgFlag"), QStringLiteral("0"), ini);
    WriteIni(s, QStringLiteral("AckNakTimeoutRetry"), QStringLiteral("3"), ini);
  }
  m.gAckNakTimeoutMsgFlag = ReadInt16(s, QStringLiteral("AckNakTimeoutMsgFlag"), ini);
  m.gAckNakTimeoutRetry = ReadInt16(s, QStringLiteral("AckNakTimeoutRetry"), ini);
  if (!isFlag(ReadIni(s, QStringLiteral("RespTimeoutMsgFlag"), ini))) {
    WriteIni(s, QStringLiteral("RespTimeoutMsgFlag"), QStringLiteral("0"), ini);
    WriteIni(s, QStringLiteral("RespTimeoutRetry"), QStringLiteral("3"), ini);
    WriteIni(s, QStringLiteral("AckRetryWaitTimer"), QStringLiteral("0"), ini);
    WriteIni(s, QStringLiteral("ResRetryWaitTimer"), QStringLiteral("0"), ini);
  }
  m.gRespTimeoutMsgFlag = ReadInt16(s, QStringLiteral("RespTimeoutMsgFlag"), ini);
  m.gRespTimeoutRetry = ReadInt16(s, QStringLiteral("RespTimeoutRetry"), ini);
  m.gAckRetryWaitTimer = ReadInt32(s, QStringLiteral("AckRetryWaitTimer"), ini);
  m.gResRetryWaitTimer = ReadInt32(s, QStringLiteral("ResRetryWaitTimer"), ini);
}

void LoadEventFlags(MainModule& m) {
  static const char* const kKeys[10] = {"0_EVT_RXCHAR",    "1_EVT_TXEMPTY", "2_EVT_ERR_FRAME", "3_EVT_ERR_OVERRUN",
                                        "4_EVT_ERR_PARITY", "5_EVT_CTS",     "6_EVT_DSR",       "7_EVT_RLSD",
                                        "8_EVT_BREAK",      "9_EVT_RING"};
  const QString s = InstanceSection(QStringLiteral("COMEvent"));
  for (size_t i = 0; i < 10; ++i) m.gEvtFlags[i] = ReadInt16(s, QString::fromLatin1(kKeys[i]), m.gIniPath);
}

void ClearRunFlags(MainModule& m) {
  m.gStopRequest = m.gAppClosing = m.gRestartRequest = 0;
  m.gRwTestRunning = m.gRwCardInWait = m.gRwCardOutDeferred = m.gRwHexModel = m.gRwM2Model = 0;
  m.gPortOpen = m.gShowCountdown = m.gRamClearActive = m.gResetWaiting = 0;
  m.gVersionClickCount = 0;
}

}  // namespace

QWidget* Main() {
  MainModule& m = mm();
  const QString dir = SettingsDir();
  // The library reads Vantor.ini from, and logs into, the current folder.
  QDir::setCurrent(dir);

  m.gDllVersion = LibraryVersionText(LibraryFileName());
  InitControlChars(m);
  ClearChannel(m);
  m.gIniPath = JoinPath(dir, QStringLiteral("Quorel.ini"));
  m.gDllIniPath = JoinPath(dir, QStringLiteral("Vantor.ini"));

  const QString app = QStringLiteral("Application");
  if (ReadIni(app, QStringLiteral("App"), m.gIniPath) != ProgramTitle()) CreateDefaultIni(0);
  if (ReadIni(app, QStringLiteral("Name"), m.gDllIniPath) != QLatin1String("VantorDLL INI File"))
    CreateDefaultDllIni();
  m.gDesktopPath = m.gLogOutPath = DesktopDir();

  TakeInstanceNumber(m);
  LoadCommSettings(m);
  LoadEventFlags(m);
  m.gDataPath = ReadIni(InstanceSection(QStringLiteral("Path")), QStringLiteral("Data"), m.gIniPath);
  m.gAdminMode = ReadIni(InstanceSection(QStringLiteral("Form")), QStringLiteral("BRELLAN_G"), m.gIniPath) ==
                         QLatin1String("quildermans40127")
                     ? 1
                     : 0;
  if (m.gDataPath.isEmpty()) m.gDataPath = JoinPath(dir, QStringLiteral("log"));
  WriteIni(app, QStringLiteral("Version"), m.gDllVersion, m.gDllIniPath);
  m.gLogOutPath = ReadIni(QStringLiteral("Path"), QStringLiteral("LogOutPath"), m.gIniPath);
  m.gDllLogging = ReadIni(QStringLiteral("Log"), QStringLiteral("Logging"), m.gDllIniPath);
  ClearRunFlags(m);

  auto* form = new MainForm;
  form->show();
  return form;
}

void FinishInstance() {
  auto& locks = Locks();
  if (!locks || locks->number() < 0) return;
  const InstanceLocks::Guard guard(*locks);
  const std::vector<int> held = locks->HeldByOthers();
  const int counter = held.empty() ? 0 : held.back();
  // A missing Counter reads as 0: a copy that ran alone leaves the file as it was.
  if (ReadInt16(kMultiFormTab, QStringLiteral("Counter"), mm().gIniPath) != counter)
    WriteIni(kMultiFormTab, QStringLiteral("Counter"), QString::number(counter), mm().gIniPath);
  locks->Release();
}

void UnloadAllForms() {
  const QWidgetList windows = QApplication::topLevelWidgets();
  for (QWidget* w : windows) {
    const Qt::WindowType type = w->windowType();
    if (w->parentWidget() || (type != Qt::Window && type != Qt::Dialog)) continue;
    QPointer<QWidget> alive(w);
    if (w->close() && alive) w->deleteLater();
  }
}

}  // namespace quorel
