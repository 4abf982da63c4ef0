// The port settings window offscreen on the real library, bound by name from
// its build folder, with COM3 and COM7 linked in $VANTOR_DEVICE_DIR: the port
// list, every key a save writes (instances 0 and 2), the log folder's one
// separator, the restart request of a new log mode, the refusal of bad
// numbers, the close test, the initialise and the hardware viewer.
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <memory>

#include "channel_fixture.h"
#include "core/cp932_codec.h"
#include "core/link_api.h"
#include "core/settings_file.h"
#include "core/versions.h"
#include "core/window_registry.h"
#include "platform/profile.h"
#include "temp_dir.h"
#include "tools/form_com.h"

namespace quorel::testing {
namespace {

const QString kRestart = QStringLiteral(
    "LOG設定の設定が変更になっており、一度エミュレーターを再起動させる必要があります。\r\n"
    "終了させる場合は[はい]を、しない場合は[いいえ]をクリックして下さい");
const QString kChanged = QStringLiteral(
    "設定内容が変更されています。\r\n保存させる場合は[はい]を、しない場合は[いいえ]をクリックして下さい");

class PortWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(QDir(dir_.path()).mkpath(QStringLiteral("dev")));
    ASSERT_TRUE(QDir(dir_.path()).mkpath(QStringLiteral("logs")));
    for (const char* com : {"COM3", "COM7"})
      ASSERT_TRUE(QFile::link(QStringLiteral("/dev/null"), dir_.file(QStringLiteral("dev/")) + QLatin1String(com)));
    qputenv("VANTOR_DEVICE_DIR", dir_.file(QStringLiteral("dev")).toLocal8Bit());
    oldCwd_ = QDir::currentPath();
    QDir::setCurrent(dir_.path());
    link_ = MakeLibraryLink(QStringLiteral(QUOREL_LIBRARY_DIR "/libvantor.so"));

    DefaultChannelSettings();
    MainModule& m = mm();
    m.gPort = 7;
    m.gIniPath = dir_.file(QStringLiteral("Quorel.ini"));
    m.gDllIniPath = dir_.file(QStringLiteral("Vantor.ini"));
    m.gDataPath = dir_.file(QStringLiteral("log"));
    m.gLogOutPath = dir_.file(QStringLiteral("logs"));
    m.gDllLogging = QStringLiteral("-1");
    m.gDllVersion = QStringLiteral("1.0.0.0");
    WriteIni(QStringLiteral("Application"), QStringLiteral("Name"), QStringLiteral("VantorDLL INI File"), m.gDllIniPath);
    WriteIni(QStringLiteral("Log"), QStringLiteral("Logging"), QStringLiteral("-1"), m.gDllIniPath);
  }
  void TearDown() override {
    delete window_.data();
    QDir::setCurrent(oldCwd_);
    qunsetenv("VANTOR_DEVICE_DIR");
  }

  FormCOM* Window() {
    if (!window_) {
      window_ = new FormCOM(*link_, [this] { ++saves_; });
      window_->show();
    }
    return window_;
  }
  template <typename T>
  T* Get(const QString& name) {
    T* w = Window()->findChild<T*>(name);
    EXPECT_NE(w, nullptr) << name.toStdString();
    return w;
  }
  QComboBox* Ports() { return Get<QComboBox>(QStringLiteral("CmbPort")); }
  QStringList PortTexts() {
    QStringList out;
    for (int i = 0; i < Ports()->count(); ++i) out << Ports()->itemText(i);
    return out;
  }
  QLineEdit* Text(const char* name) { return Get<QLineEdit>(QLatin1String(name)); }
  void Click(const char* name) { Get<QAbstractButton>(QLatin1String(name))->click(); }
  void SelectLogMode(int mode) {
    QComboBox* box = Get<QComboBox>(QStringLiteral("CmbVantorLog"));
    box->setCurrentIndex(box->findData(mode));
  }
  bool Closed() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return window_.isNull();
  }
  QString Ini(const QString& section, const char* key) {
    return ReadIni(section, QLatin1String(key), mm().gIniPath);
  }
  QString Dll(const char* section, const char* key) {
    return ReadIni(QLatin1String(section), QLatin1String(key), mm().gDllIniPath);
  }
  QStringList Keys(const QString& section) {
    QStringList out;
    for (const std::string& k : plat::ProfileKeys(mm().gIniPath.toStdString(), section.toStdString()))
      out << QString::fromStdString(k);
    return out;
  }

  TempDir dir_;
  QString oldCwd_;
  std::unique_ptr<LinkApi> link_;
  ScriptedDialogs dialogs_;
  QPointer<FormCOM> window_;
  int saves_ = 0;
};

TEST_F(PortWindow, GetPortListsTheLinkedPortsAndSelectsTheStoredOneManualPortHas256) {
  const QStringList ports = PortTexts();
  EXPECT_TRUE(ports.contains(QStringLiteral("COM3"))) << ports.join(QLatin1Char(',')).toStdString();
  EXPECT_TRUE(ports.contains(QStringLiteral("COM7")));
  EXPECT_EQ(Ports()->currentText(), "COM7");
  EXPECT_TRUE(Get<QLabel>(QStringLiteral("LbGetPort"))->text().contains(QStringLiteral("COM3,COM7")));
  // A link to something that is no serial device has no driver details.
  EXPECT_EQ(Get<QLabel>(QStringLiteral("LbcrwGetComDevInfo_0"))->text(), "Desc     : (COM7)");
  EXPECT_EQ(Get<QLabel>(QStringLiteral("LbcrwGetComDevInfo_1"))->text(), "Provider : ");

  Click("OpGetPort_1");
  EXPECT_EQ(Ports()->count(), 256);
  EXPECT_EQ(Ports()->itemText(255), "COM256");
  EXPECT_EQ(Ports()->currentText(), "COM7");
  Click("OpGetPort_0");
  EXPECT_EQ(PortTexts(), ports);
  EXPECT_EQ(Ports()->currentText(), "COM7");
  // Refresh ends on the first present port.
  Click("CmdComRefresh");
  EXPECT_EQ(Ports()->currentIndex(), 0);
}

TEST_F(PortWindow, AStoredPortThatIsNotPresentIsAddedAndKept) {
  mm().gPort = 5;
  EXPECT_EQ(Ports()->currentText(), "COM5");
  EXPECT_TRUE(PortTexts().contains(QStringLiteral("COM3")));
  Click("CmdCOMConfigSave");
  EXPECT_EQ(Ini(QStringLiteral("Comm"), "Port"), "5");
  EXPECT_EQ(mm().gPort, 5);
}

TEST_F(PortWindow, SaveWritesEveryKeyOfTheWindowWithOneSeparatorInTheLogFileName) {
  Get<QCheckBox>(QStringLiteral("ChkDSR"))->setChecked(false);
  Text("TxtACKTimer")->setText(QStringLiteral("1200"));
  Text("TxtRespWaitRetry")->setText(QStringLiteral("30"));
  Get<QCheckBox>(QStringLiteral("cepCheck_0"))->setChecked(true);
  Get<QComboBox>(QStringLiteral("Cmbbps"))->setCurrentIndex(0);
  Click("CmdCOMConfigSave");
  EXPECT_TRUE(Closed());
  EXPECT_EQ(saves_, 1);
  EXPECT_EQ(Keys(QStringLiteral("Comm")),
            (QStringList{"Port", "Boud", "Parity", "DataBit", "DSR", "CTS", "AckTimer", "RespTimer", "NakRetry",
                         "AckNakTimeoutMsgFlag", "AckNakTimeoutRetry", "RespTimeoutMsgFlag", "RespTimeoutRetry",
                         "AckRetryWaitTimer", "ResRetryWaitTimer"}));
  EXPECT_EQ(Keys(QStringLiteral("COMEvent")).size(), 10);
  EXPECT_EQ(Keys(QStringLiteral("Path")), (QStringList{"Data", "LogOutPath"}));
  EXPECT_EQ(Keys(QStringLiteral("Timer")), (QStringList{"Timer1"}));
  EXPECT_EQ(Ini(QStringLiteral("Comm"), "Port"), "7");
  EXPECT_EQ(Ini(QStringLiteral("Comm"), "Boud"), "115200");
  EXPECT_EQ(Ini(QStringLiteral("Comm"), "Parity"), "2");
  EXPECT_EQ(Ini(QStringLiteral("Comm"), "DSR"), "0");
  EXPECT_EQ(Ini(QStringLiteral("Comm"), "AckTimer"), "1200");
  EXPECT_EQ(Ini(QStringLiteral("Comm"), "ResRetryWaitTimer"), "30");
  EXPECT_EQ(Ini(QStringLiteral("COMEvent"), "0_EVT_RXCHAR"), "1");
  EXPECT_EQ(Ini(QStringLiteral("COMEvent"), "9_EVT_RING"), "0");
  EXPECT_EQ(Ini(QStringLiteral("Timer"), "Timer1"), "1000");
  const QString logs = dir_.file(QStringLiteral("logs/"));
  EXPECT_EQ(Ini(QStringLiteral("Path"), "LogOutPath"), logs);
  EXPECT_EQ(Dll("Log", "LogFileName"), logs + QStringLiteral("Vantor_%03d.log"));
  EXPECT_EQ(mm().gUseDSR, 0);
  EXPECT_EQ(mm().gAckTimer, 1200);
  EXPECT_EQ(mm().gBoud, 115200);
  EXPECT_EQ(mm().gRestartRequest, 0);

  // Opened again with the folder that now ends in its separator: still one.
  Text("TxtACKTimer")->setText(QStringLiteral("1300"));
  EXPECT_EQ(Text("JPathText")->text(), logs);
  Click("CmdCOMConfigSave");
  EXPECT_EQ(Dll("Log", "LogFileName"), logs + QStringLiteral("Vantor_%03d.log"));
}

TEST_F(PortWindow, InstanceTwoSavesIntoItsNumberedSectionsAndTheSharedLogFolder) {
  mm().gInstanceNo = 2;
  Text("TxtResTimer")->setText(QStringLiteral("700"));
  Click("CmdCOMConfigSave");
  for (const char* s : {"Comm", "COMEvent", "Timer"}) EXPECT_TRUE(Keys(QLatin1String(s)).isEmpty()) << s;
  EXPECT_EQ(Keys(QStringLiteral("Comm2")).size(), 15);
  EXPECT_EQ(Keys(QStringLiteral("COMEvent2")).size(), 10);
  EXPECT_EQ(Keys(QStringLiteral("Path2")), (QStringList{"Data"}));
  EXPECT_EQ(Keys(QStringLiteral("Path")), (QStringList{"LogOutPath"}));
  EXPECT_EQ(Ini(QStringLiteral("Timer2"), "Timer1"), "700");
  EXPECT_EQ(Ini(QStringLiteral("Comm2"), "RespTimer"), "700");
}

TEST_F(PortWindow, ANewLogModeAsksForTheRestartThatEndsTheProgramAfterTheWindow) {
  SelectLogMode(0);
  EXPECT_EQ(Dll("Log", "Logging"), "0");  // written at once
  dialogs_.ExpectBox(ProgramTitle(), kRestart, BoxAnswer::kYes);
  Click("CmdCOMConfigSave");
  EXPECT_TRUE(Closed());
  EXPECT_EQ(mm().gRestartRequest, -1);
  EXPECT_EQ(dialogs_.recorded().at(0).icon, BoxIcon::kExclamation);
  EXPECT_EQ(dialogs_.recorded().at(0).buttons, BoxButtons::kYesNo);
}

TEST_F(PortWindow, ClosingWithANewLogModeSavesOnYesAndLeavesAllOnNo) {
  SelectLogMode(1);
  Get<QCheckBox>(QStringLiteral("ChkCTS"))->setChecked(false);
  dialogs_.ExpectBox(ProgramTitle(), kRestart, BoxAnswer::kNo);
  Window()->close();
  EXPECT_TRUE(Closed());
  EXPECT_EQ(mm().gRestartRequest, 0);
  EXPECT_EQ(mm().gUseCTS, 1);

  SelectLogMode(1);
  Get<QCheckBox>(QStringLiteral("ChkCTS"))->setChecked(false);
  dialogs_.ExpectBox(ProgramTitle(), kRestart, BoxAnswer::kYes);  // one prompt, not two
  Window()->close();
  EXPECT_TRUE(Closed());
  EXPECT_EQ(mm().gRestartRequest, -1);
  EXPECT_EQ(mm().gUseCTS, 0);
  EXPECT_EQ(Ini(QStringLiteral("Comm"), "CTS"), "0");
  EXPECT_EQ(Dll("Log", "Logging"), "1");
}

TEST_F(PortWindow, BadNumbersAreRefusedNamingTheFieldAndTheWindowStays) {
  struct Case {
    const char* control;
    const char* text;
    NumberBox box;
  };
  for (const Case& c : {Case{"TxtACKTimer", "abc", NumberBox::kAckTimer},
                        Case{"TxtNakBccRetry", "-2", NumberBox::kNakRetry},
                        Case{"TxtTRespTimeOutRetry", "40000", NumberBox::kRespTimeoutRetry},
                        Case{"TxtRespWaitRetry", "", NumberBox::kRespRetryWait}}) {
    const QString old = Text(c.control)->text();
    Text(c.control)->setText(QLatin1String(c.text));
    dialogs_.ExpectBox(ProgramTitle(), NumberBoxError(c.box), BoxAnswer::kOk);
    Click("CmdCOMConfigSave");
    EXPECT_TRUE(dialogs_.recorded().back().text.contains(QLatin1String(RuleOf(c.box).field)));
    EXPECT_FALSE(Closed()) << c.control;
    EXPECT_TRUE(Keys(QStringLiteral("Comm")).isEmpty());
    Text(c.control)->setText(old);
  }
  EXPECT_EQ(mm().gAckTimer, 1000);
  // The close's "save?" with a bad number keeps the window too.
  Text("TxtACKTimer")->setText(QStringLiteral("x"));
  dialogs_.ExpectBox(ProgramTitle(), kChanged, BoxAnswer::kYes);
  dialogs_.ExpectBox(ProgramTitle(), NumberBoxError(NumberBox::kAckTimer), BoxAnswer::kOk);
  Window()->close();
  EXPECT_FALSE(Closed());
}

TEST_F(PortWindow, TheCloseTestSeesEverySettingAndAnUnchangedWindowAsksNothing) {
  Window()->close();
  EXPECT_TRUE(Closed());
  EXPECT_TRUE(dialogs_.recorded().empty());
  EXPECT_TRUE(Keys(QStringLiteral("Comm")).isEmpty());

  Get<QCheckBox>(QStringLiteral("ChkDSR"))->setChecked(false);
  dialogs_.ExpectBox(ProgramTitle(), kChanged, BoxAnswer::kYes);
  Window()->close();
  EXPECT_TRUE(Closed());
  EXPECT_EQ(mm().gUseDSR, 0);
  EXPECT_EQ(Ini(QStringLiteral("Comm"), "DSR"), "0");

  Text("TxtAckNakWaitRetry")->setText(QStringLiteral("15"));
  dialogs_.ExpectBox(ProgramTitle(), kChanged, BoxAnswer::kNo);
  Window()->close();
  EXPECT_TRUE(Closed());
  EXPECT_EQ(mm().gAckRetryWaitTimer, 0);
}

TEST_F(PortWindow, TheLogFolderIsEditableForTheFileModesAtLoadAsOnSelection) {
  WriteIni(QStringLiteral("Log"), QStringLiteral("Logging"), QStringLiteral("1"), mm().gDllIniPath);
  EXPECT_TRUE(Text("JPathText")->isEnabled());
  EXPECT_TRUE(Get<QPushButton>(QStringLiteral("FoluderSansyou"))->isEnabled());
  SelectLogMode(2);
  EXPECT_FALSE(Text("JPathText")->isEnabled());
  EXPECT_FALSE(Get<QPushButton>(QStringLiteral("FoluderSansyou"))->isEnabled());
  delete window_.data();

  // A stored mode that names no entry: "-1" is shown and written back.
  WriteIni(QStringLiteral("Log"), QStringLiteral("Logging"), QStringLiteral("5"), mm().gDllIniPath);
  EXPECT_EQ(Window()->logMode(), -1);
  EXPECT_EQ(Dll("Log", "Logging"), "-1");
  EXPECT_FALSE(Text("JPathText")->isEnabled());
}

TEST_F(PortWindow, TimeBoxesTakeTheAbsoluteValueOnLeavingAndTheSwitchesDisableTheirRetries) {
  QLineEdit* wait = Text("TxtRespWaitRetry");
  wait->setText(QStringLiteral("-20"));
  QFocusEvent out(QEvent::FocusOut);
  QCoreApplication::sendEvent(wait, &out);
  EXPECT_EQ(wait->text(), "20");
  EXPECT_EQ(wait->toolTip(), "20");
  QLineEdit* nak = Text("TxtNakBccRetry");
  nak->setText(QStringLiteral("-1"));
  QCoreApplication::sendEvent(nak, &out);
  EXPECT_EQ(nak->text(), "-1");

  EXPECT_TRUE(Text("TxtTAckNakTimeOutRetry")->isEnabled());
  Get<QCheckBox>(QStringLiteral("ChkAckNakTimeOutMsgBox"))->setChecked(true);
  EXPECT_FALSE(Text("TxtTAckNakTimeOutRetry")->isEnabled());
  EXPECT_FALSE(Get<QLabel>(QStringLiteral("LbAckNakTimeOutRetry"))->isEnabled());
  delete window_.data();
  mm().gRespTimeoutMsgFlag = 1;
  EXPECT_FALSE(Text("TxtTRespTimeOutRetry")->isEnabled());
}

TEST_F(PortWindow, TheFolderPickerSetsTheFolderWithItsSeparatorAndWritesItAtOnce) {
  SelectLogMode(0);  // the folder belongs to the modes that write files
  const QString chosen = dir_.file(QStringLiteral("elsewhere"));
  dialogs_.ExpectFolder(chosen);
  Click("FoluderSansyou");
  EXPECT_EQ(Text("JPathText")->text(), chosen + QLatin1Char('/'));
  EXPECT_EQ(mm().gLogOutPath, chosen + QLatin1Char('/'));
  EXPECT_EQ(Ini(QStringLiteral("Path"), "LogOutPath"), chosen + QLatin1Char('/'));
  dialogs_.ExpectFolder(QString());  // cancelled: nothing changes
  Click("FoluderSansyou");
  EXPECT_EQ(Text("JPathText")->text(), chosen + QLatin1Char('/'));
}

TEST_F(PortWindow, InitialiseAsksThenLeavesTheSettingsFileForTheEndAndTheRestart) {
  EXPECT_FALSE(Get<QPushButton>(QStringLiteral("CmdInitialize"))->isEnabled());
  Click("ChkInitialize");
  EXPECT_TRUE(Get<QPushButton>(QStringLiteral("CmdInitialize"))->isEnabled());
  const QString text = QStringLiteral(
      "初期化を完了させるには、一度エミュレーターを再起動させる必要があります。\r\n"
      "終了させる場合は[はい]を、しない場合は[いいえ]をクリックして下さい");
  dialogs_.ExpectBox(ProgramTitle(), text, BoxAnswer::kNo);
  Click("CmdInitialize");
  EXPECT_FALSE(Closed());
  EXPECT_EQ(PendingSettingsWipe(), "");
  dialogs_.ExpectBox(ProgramTitle(), text, BoxAnswer::kYes);
  Click("CmdInitialize");
  EXPECT_TRUE(Closed());
  EXPECT_EQ(PendingSettingsWipe(), mm().gIniPath);
  EXPECT_EQ(mm().gRestartRequest, -1);
  RequestSettingsWipe(QString());  // this test's program does not end
}

// A window that writes a key when it closes, as the program's windows do.
class KeyWriter : public QWidget {
 protected:
  void closeEvent(QCloseEvent* e) override {
    WriteIni(QStringLiteral("FormFile"), QStringLiteral("ErrorStop"), QStringLiteral("1"), mm().gIniPath);
    e->accept();
  }
};

TEST_F(PortWindow, TheSettingsFileGoesAfterEveryWindowHasClosedAndAFailedDeleteIsShown) {
  Window();
  QPointer<QWidget> other = new KeyWriter;
  other->show();
  WriteIni(QStringLiteral("Comm"), QStringLiteral("Port"), QStringLiteral("7"), mm().gIniPath);
  RequestSettingsWipe(mm().gIniPath);
  FinishSettingsWipe();
  EXPECT_TRUE(other.isNull());
  EXPECT_FALSE(QFile::exists(mm().gIniPath));
  EXPECT_TRUE(Closed());

  // A settings file that cannot be removed: said, and left.
  const QString stuck = dir_.file(QStringLiteral("stuck.ini"));
  ASSERT_TRUE(QDir().mkpath(stuck + QStringLiteral("/x")));
  RequestSettingsWipe(stuck);
  dialogs_.ExpectBox(ProgramTitle(),
                     QStringLiteral("設定ファイルを削除できませんでした。\r\n") + stuck + QStringLiteral("\r\n") +
                         [&] {
                           QFile f(stuck);
                           f.remove();
                           return f.errorString();
                         }(),
                     BoxAnswer::kOk);
  FinishSettingsWipe();
  EXPECT_TRUE(QFile::exists(stuck));
  RequestSettingsWipe(QString());
}

TEST_F(PortWindow, WithoutAHardwareViewerTheDeviceButtonNamesTheSerialPorts) {
  const QByteArray oldPath = qgetenv("PATH");
  const QString bin = dir_.file(QStringLiteral("bin"));
  ASSERT_TRUE(QDir().mkpath(bin));
  qputenv("PATH", bin.toLocal8Bit());
  QByteArray names;
  int16_t count = 0;
  const int32_t result = link_->GetPortNames(&names, &count);
  const QString expected = SerialDevicesText(cp932::Decode(names), result, count);
  EXPECT_TRUE(expected.contains(QStringLiteral("\r\nCOM7  ")));
  dialogs_.ExpectBox(QStringLiteral("デバイスマネージャー"), expected, BoxAnswer::kOk);
  Click("DeviceManager");

  // With one installed it is started and nothing is shown.
  const QString marker = dir_.file(QStringLiteral("viewer-started"));
  {
    QFile script(bin + QStringLiteral("/kinfocenter"));
    ASSERT_TRUE(script.open(QIODevice::WriteOnly));
    script.write(QStringLiteral("#!/bin/sh\n: > '%1'\n").arg(marker).toUtf8());
    script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  }
  Click("DeviceManager");
  qputenv("PATH", oldPath);
  EXPECT_TRUE(PumpUntilTrue([&] { return QFile::exists(marker); }, 5000));
  EXPECT_EQ(dialogs_.recorded().size(), 1u);
}

TEST_F(PortWindow, OpenedModalFromTheRegistryItIsLoadedAnewEachTime) {
  WindowRegistry registry;
  registry.Register(QStringLiteral("FormCOM"), ShowMode::kModal, [this] { return new FormCOM(*link_); });
  for (int round = 0; round < 2; ++round) {
    dialogs_.ExpectModal(QStringLiteral("FormCOM"), [](QDialog& d) {
      d.findChild<QPushButton*>(QStringLiteral("CmdCOMConfigSave"))->click();
      return d.result();
    });
    EXPECT_TRUE(registry.Open(QStringLiteral("FormCOM")));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(registry.Loaded(QStringLiteral("FormCOM")), nullptr);
  }
  EXPECT_EQ(Ini(QStringLiteral("Comm"), "Port"), "7");
}

}  // namespace
}  // namespace quorel::testing
