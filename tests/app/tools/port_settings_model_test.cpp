// The port settings without the window: the port list from the library's
// answer, the number rules of the boxes, the comparison that decides whether
// closing asks, the files a save writes (byte for byte), the log folder's
// one separator, and the deletion of the settings file at the end.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <functional>

#include <gtest/gtest.h>

#include "core/main_module.h"
#include "core/message_tables.h"
#include "temp_dir.h"
#include "tools/port_settings_model.h"

QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }
QT_END_NAMESPACE

namespace quorel {
namespace {

QByteArray ReadBytes(const QString& path) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) return "<missing>";
  return f.readAll();
}

QStringList Texts(const ItemList& items) {
  QStringList out;
  for (const ListItem& i : items) out << i.text + QLatin1Char('=') + QString::number(i.data);
  return out;
}

TEST(PortList, TheLibrarysNamesBecomeItemsWithTheirNumbers) {
  EXPECT_EQ(Texts(ParsePortNames(QStringLiteral("COM3,COM7,COM12"), 1, 3)),
            (QStringList{"COM3=3", "COM7=7", "COM12=12"}));
  // The last of `count` pieces runs to the end of the text.
  EXPECT_EQ(Texts(ParsePortNames(QStringLiteral("COM3,COM7"), 1, 1)), (QStringList{"COM3,COM7=3"}));
  EXPECT_TRUE(ParsePortNames(QStringLiteral("COM3"), 0, 1).empty());
  EXPECT_TRUE(ParsePortNames(QStringLiteral("COM3"), 1, 0).empty());
  EXPECT_TRUE(ParsePortNames(QStringLiteral("COM3"), -1, 1).empty());
  EXPECT_EQ(Texts(ParsePortNames(QStringLiteral("COM3"), 1, 2)), (QStringList{"COM3=3", "=0"}));
  EXPECT_EQ(PortNumberOf(QStringLiteral("COM256")), 256);
  EXPECT_EQ(PortNumberOf(QStringLiteral("Com12x")), 12);
  EXPECT_EQ(PortNumberOf(QStringLiteral("COM")), 0);
  EXPECT_EQ(ManualPortItems().size(), 256u);
  EXPECT_EQ(ManualPortItems().back().text, "COM256");
  EXPECT_EQ(InitialPortItems().size(), 100u);
}

TEST(PortList, AStoredPortMissingFromTheListIsAddedInOrderNotReplaced) {
  ItemList items = ParsePortNames(QStringLiteral("COM3,COM7"), 1, 2);
  EXPECT_EQ(EnsurePortItem(items, 7), 1);
  EXPECT_EQ(EnsurePortItem(items, 5), 1);
  EXPECT_EQ(Texts(items), (QStringList{"COM3=3", "COM5=5", "COM7=7"}));
  EXPECT_EQ(EnsurePortItem(items, 200), 3);
  EXPECT_EQ(EnsurePortItem(items, 1), 0);
  EXPECT_EQ(EnsurePortItem(items, 0), -1);
  EXPECT_EQ(EnsurePortItem(items, 257), -1);
  EXPECT_EQ(items.size(), 5u);
}

TEST(NumberBoxes, FocusLeavingMakesTheAbsoluteValueAndLeavesOtherTextForTheSave) {
  EXPECT_EQ(AbsoluteNumberText(QStringLiteral("-500")), "500");
  EXPECT_EQ(AbsoluteNumberText(QStringLiteral("0070")), "70");
  EXPECT_EQ(AbsoluteNumberText(QStringLiteral("1.50")), "1.5");
  EXPECT_EQ(AbsoluteNumberText(QStringLiteral("-0")), "0");
  EXPECT_EQ(AbsoluteNumberText(QStringLiteral(".5")), "0.5");
  EXPECT_EQ(AbsoluteNumberText(QStringLiteral("2.")), "2");
  EXPECT_EQ(AbsoluteNumberText(QStringLiteral("12ab")), "12ab");
  EXPECT_EQ(AbsoluteNumberText(QString()), "");
}

TEST(NumberBoxes, RetriesFromMinusOneTimesFromZeroWithinTheirWidth) {
  EXPECT_EQ(ParseNumberBox(NumberBox::kNakRetry, QStringLiteral("-1")), -1);
  EXPECT_EQ(ParseNumberBox(NumberBox::kNakRetry, QStringLiteral("32767")), 32767);
  EXPECT_FALSE(ParseNumberBox(NumberBox::kNakRetry, QStringLiteral("-2")));
  EXPECT_FALSE(ParseNumberBox(NumberBox::kRespTimeoutRetry, QStringLiteral("32768")));
  EXPECT_EQ(ParseNumberBox(NumberBox::kAckTimer, QStringLiteral(" 2147483647 ")), 2147483647);
  EXPECT_FALSE(ParseNumberBox(NumberBox::kAckTimer, QStringLiteral("2147483648")));
  EXPECT_FALSE(ParseNumberBox(NumberBox::kRespTimer, QStringLiteral("-1")));
  EXPECT_FALSE(ParseNumberBox(NumberBox::kRespTimer, QStringLiteral("99999999999999999999")));
  EXPECT_EQ(ParseNumberBox(NumberBox::kAckRetryWait, QStringLiteral("2.5")), 2);  // halves to even
  EXPECT_EQ(ParseNumberBox(NumberBox::kAckRetryWait, QStringLiteral("1.5")), 2);
  EXPECT_EQ(ParseNumberBox(NumberBox::kRespRetryWait, QStringLiteral("-0.4")), 0);
  for (const char* bad : {"", " ", "abc", "12a", "1,000", "1e3", "--1", "."})
    EXPECT_FALSE(ParseNumberBox(NumberBox::kAckTimer, QString::fromLatin1(bad))) << bad;
  EXPECT_TRUE(NumberBoxError(NumberBox::kAckTimer).contains(QStringLiteral("「ACK / NAK Timer」")));
  EXPECT_TRUE(NumberBoxError(NumberBox::kNakRetry).contains(QStringLiteral("-1 から 32767")));
  EXPECT_TRUE(NumberBoxError(NumberBox::kRespRetryWait).contains(QStringLiteral("0 から 2147483647")));
}

PortSettingsForm FormOf(const MainModule& m) {
  PortSettingsForm f;
  f.port = m.gPort;
  f.baud = m.gBoud;
  f.parity = m.gParity == QLatin1String("N") ? 0 : m.gParity == QLatin1String("O") ? 1 : 2;
  f.dataBit = m.gDataBit;
  f.cts = m.gUseCTS == 1;
  f.dsr = m.gUseDSR == 1;
  f.ackNakMsgBox = m.gAckNakTimeoutMsgFlag == 1;
  f.respMsgBox = m.gRespTimeoutMsgFlag == 1;
  f.numbers = {QString::number(m.gAckTimer),         QString::number(m.gNakRetry),
               QString::number(m.gAckNakTimeoutRetry), QString::number(m.gAckRetryWaitTimer),
               QString::number(m.gRespTimer),          QString::number(m.gRespTimeoutRetry),
               QString::number(m.gResRetryWaitTimer)};
  for (size_t i = 0; i < 9; ++i) f.events[i] = m.gEvtFlags[i] == 1;
  f.logFolder = m.gLogOutPath;
  return f;
}

class Settings : public ::testing::Test {
 protected:
  void SetUp() override {
    MainModule& m = mm();
    m = MainModule{};
    InitMessageTables();
    m.gIniPath = dir_.file(QStringLiteral("Quorel.ini"));
    m.gDllIniPath = dir_.file(QStringLiteral("Vantor.ini"));
    m.gDataPath = QStringLiteral("/opt/quorel/log");
    m.gPort = 7;
    m.gBoud = 19200;
    m.gParity = QStringLiteral("O");
    m.gDataBit = 7;
    m.gUseCTS = 1;
    m.gUseDSR = 0;
    m.gAckTimer = 1500;
    m.gRespTimer = 2500;
    m.gNakRetry = -1;
    m.gAckNakTimeoutMsgFlag = 1;
    m.gAckNakTimeoutRetry = 4;
    m.gRespTimeoutMsgFlag = 0;
    m.gRespTimeoutRetry = 5;
    m.gAckRetryWaitTimer = 10;
    m.gResRetryWaitTimer = 20;
    m.gEvtFlags = {0, 1, 1, 1, 1, 0, 1, 0, 1, 1};
    m.gLogOutPath = QStringLiteral("/var/log/quorel");
  }
  testing::TempDir dir_;
};

TEST_F(Settings, EveryEditedSettingCountsForTheCloseTest) {
  const MainModule& m = mm();
  const ParsedSettings same = ParseForm(FormOf(m));
  ASSERT_TRUE(same.settings);
  EXPECT_EQ(*same.settings, SettingsOf(m));  // the folder's missing separator is no change
  const std::vector<std::function<void(PortSettingsForm&)>> edits = {
      [](PortSettingsForm& f) { f.port = 3; },
      [](PortSettingsForm& f) { f.baud = 9600; },
      [](PortSettingsForm& f) { f.parity = 2; },
      [](PortSettingsForm& f) { f.dataBit = 8; },
      [](PortSettingsForm& f) { f.cts = false; },
      [](PortSettingsForm& f) { f.dsr = true; },
      [](PortSettingsForm& f) { f.ackNakMsgBox = false; },
      [](PortSettingsForm& f) { f.respMsgBox = true; },
      [](PortSettingsForm& f) { f.events[4] = false; },
      [](PortSettingsForm& f) { f.logFolder = QStringLiteral("/tmp"); },
  };
  for (size_t k = 0; k < edits.size(); ++k) {
    PortSettingsForm f = FormOf(m);
    edits[k](f);
    EXPECT_NE(*ParseForm(f).settings, SettingsOf(m)) << "edit " << k;
  }
  for (int b = 0; b < kNumberBoxes; ++b) {
    PortSettingsForm f = FormOf(m);
    f.numbers[static_cast<size_t>(b)] = QStringLiteral("3");
    EXPECT_NE(*ParseForm(f).settings, SettingsOf(m)) << RuleOf(static_cast<NumberBox>(b)).control;
    f.numbers[static_cast<size_t>(b)] = QStringLiteral("x");
    const ParsedSettings bad = ParseForm(f);
    EXPECT_FALSE(bad.settings);
    ASSERT_TRUE(bad.badBox);
    EXPECT_EQ(static_cast<int>(*bad.badBox), b);
  }
}

TEST_F(Settings, ASaveWritesEveryKeyForInstanceZero) {
  MainModule& m = mm();
  ApplySettings(*ParseForm(FormOf(m)).settings, m);
  EXPECT_EQ(m.gLogOutPath, "/var/log/quorel/");
  WritePortSettings(m);
  EXPECT_EQ(ReadBytes(m.gIniPath),
            QByteArray("[Path]\r\nData=/opt/quorel/log\r\nLogOutPath=/var/log/quorel/\r\n"
                       "[Timer]\r\nTimer1=2500\r\n"
                       "[Comm]\r\nPort=7\r\nBoud=19200\r\nParity=1\r\nDataBit=7\r\nDSR=0\r\nCTS=1\r\n"
                       "AckTimer=1500\r\nRespTimer=2500\r\nNakRetry=-1\r\nAckNakTimeoutMsgFlag=1\r\n"
                       "AckNakTimeoutRetry=4\r\nRespTimeoutMsgFlag=0\r\nRespTimeoutRetry=5\r\n"
                       "AckRetryWaitTimer=10\r\nResRetryWaitTimer=20\r\n"
                       "[COMEvent]\r\n0_EVT_RXCHAR=0\r\n1_EVT_TXEMPTY=1\r\n2_EVT_ERR_FRAME=1\r\n"
                       "3_EVT_ERR_OVERRUN=1\r\n4_EVT_ERR_PARITY=1\r\n5_EVT_CTS=0\r\n6_EVT_DSR=1\r\n"
                       "7_EVT_RLSD=0\r\n8_EVT_BREAK=1\r\n9_EVT_RING=1\r\n"));
}

TEST_F(Settings, ASaveOfInstanceTwoWritesItsNumberedSectionsAndTheSharedLogFolder) {
  MainModule& m = mm();
  m.gInstanceNo = 2;
  m.gParity = QStringLiteral("N");
  m.gLogOutPath = QStringLiteral("/var/log/q2/");
  WritePortSettings(m);
  const QByteArray file = ReadBytes(m.gIniPath);
  EXPECT_TRUE(file.startsWith("[Path2]\r\nData=/opt/quorel/log\r\n[Timer2]\r\nTimer1=2500\r\n[Comm2]\r\nPort=7\r\n"
                              "Boud=19200\r\nParity=0\r\n"))
      << file.toStdString();
  EXPECT_TRUE(file.contains("[COMEvent2]\r\n0_EVT_RXCHAR=0\r\n"));
  EXPECT_TRUE(file.endsWith("9_EVT_RING=1\r\n[Path]\r\nLogOutPath=/var/log/q2/\r\n")) << file.toStdString();
  EXPECT_FALSE(file.contains("[Comm]\r\n"));
}

TEST_F(Settings, TheLibraryLogFileNameHasExactlyOneSeparatorAndAForeignFileGetsItsDefaultsFirst) {
  EXPECT_EQ(FolderWithSeparator(QStringLiteral("/a/b")), "/a/b/");
  EXPECT_EQ(FolderWithSeparator(QStringLiteral("/a/b/")), "/a/b/");
  EXPECT_EQ(FolderWithSeparator(QString()), "");
  EXPECT_EQ(LibraryLogFileName(QStringLiteral("/a/b/")), "/a/b/Vantor_%03d.log");
  EXPECT_EQ(LibraryLogFileName(QString()), "Vantor_%03d.log");

  MainModule& m = mm();
  m.gDllVersion = QStringLiteral("1.2.3.4");
  {
    QFile f(m.gDllIniPath);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("[Application]\r\nName=something else\r\n");
  }
  m.gLogOutPath = QStringLiteral("/logs/");
  WriteLibraryLogSettings(m, 1);
  EXPECT_EQ(ReadBytes(m.gDllIniPath),
            QByteArray("[Application]\r\nName=VantorDLL INI File\r\nVersion=1.2.3.4\r\n"
                       "[Log]\r\nLogging=1\r\nLogFileName=/logs/Vantor_%03d.log\r\n"
                       "[Delay]\r\nDelay=0\r\n[TimeOut]\r\nWriteFileTimeOut=5000\r\n"));
  // A second save keeps one separator.
  WriteLibraryLogSettings(m, 0);
  EXPECT_TRUE(ReadBytes(m.gDllIniPath).contains("Logging=0\r\nLogFileName=/logs/Vantor_%03d.log\r\n"));
}

TEST(LogMode, OnlyTheModesThatWriteFilesEditTheFolder) {
  EXPECT_FALSE(LogFolderEditable(-1));
  EXPECT_TRUE(LogFolderEditable(0));
  EXPECT_TRUE(LogFolderEditable(1));
  EXPECT_FALSE(LogFolderEditable(2));
  EXPECT_FALSE(LogFolderEditable(3));
  EXPECT_EQ(LogModeItems().size(), 5u);
  EXPECT_EQ(LogModeItems().front().text, QStringLiteral("-1: ログファイルを出力しない。"));
}

TEST(HardwareViewer, TheFirstViewerOnThePathElseTheSerialPortsFound) {
  testing::TempDir dir;
  const QByteArray oldPath = qgetenv("PATH");
  qputenv("PATH", dir.path().toLocal8Bit());
  EXPECT_EQ(FindHardwareViewer(), "");
  const QString viewer = dir.file(QStringLiteral("hardinfo"));
  {
    QFile f(viewer);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("#!/bin/sh\n");
    f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  }
  EXPECT_EQ(FindHardwareViewer(), viewer);
  qputenv("PATH", oldPath);

  qputenv("VANTOR_DEVICE_DIR", dir.path().toLocal8Bit());
  ASSERT_TRUE(QFile::link(QStringLiteral("/dev/null"), dir.file(QStringLiteral("COM3"))));
  const QString text = SerialDevicesText(QStringLiteral("COM3,COM7"), 1, 2);
  EXPECT_TRUE(text.contains(QStringLiteral("\r\nCOM3  ") + dir.file(QStringLiteral("COM3")) +
                            QStringLiteral(" -> /dev/null")))
      << text.toStdString();
  EXPECT_TRUE(text.contains(QStringLiteral("\r\nCOM7  "))) << text.toStdString();
  EXPECT_TRUE(SerialDevicesText(QString(), 0, 0).contains(QStringLiteral("見つかりませんでした")));
  qunsetenv("VANTOR_DEVICE_DIR");
}

TEST(SettingsWipe, TheRequestedFileIsDeletedAndAFailureIsReported) {
  testing::TempDir dir;
  const QString ini = dir.file(QStringLiteral("Quorel.ini"));
  {
    QFile f(ini);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("[Application]\r\nApp=Quorel\r\n");
  }
  RequestSettingsWipe(ini);
  EXPECT_EQ(PendingSettingsWipe(), ini);
  QString error;
  EXPECT_TRUE(RunSettingsWipe(&error));
  EXPECT_FALSE(QFileInfo::exists(ini));
  EXPECT_EQ(PendingSettingsWipe(), "");
  // Nothing there: nothing to do.
  RequestSettingsWipe(ini);
  EXPECT_TRUE(RunSettingsWipe(&error));
  // A name that cannot be removed (a folder with something in it) is reported.
  ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("Quorel.ini/x")));
  RequestSettingsWipe(ini);
  EXPECT_FALSE(RunSettingsWipe(&error));
  EXPECT_FALSE(error.isEmpty());
  EXPECT_TRUE(QFileInfo::exists(ini));
}

}  // namespace
}  // namespace quorel
