#include "core/default_settings.h"

#include "core/folders.h"
#include "core/main_module.h"
#include "core/settings_file.h"
#include "core/versions.h"

namespace quorel {
namespace {

struct Key {
  const char* name;
  QString value;
};

void WriteSection(const QString& base, int instance, const std::initializer_list<Key>& keys) {
  const QString section = instance == 0 ? base : base + QString::number(instance);
  for (const Key& k : keys) WriteIni(section, QString::fromLatin1(k.name), k.value, mm().gIniPath);
}

}  // namespace

void CreateDefaultIni(int instance) {
  MainModule& m = mm();
  WriteIni(QStringLiteral("Application"), QStringLiteral("App"), ProgramTitle(), m.gIniPath);
  m.gLogOutPath = DesktopDir();
  const QString dir = SettingsDir();
  const QString zero = QStringLiteral("0");
  const QString one = QStringLiteral("1");
  const QString three = QStringLiteral("3");

  WriteSection(QStringLiteral("Path"), instance,
               {{"Data", JoinPath(dir, QString())}, {"LogOutPath", m.gLogOutPath}});
  WriteSection(QStringLiteral("Comm"), instance,
               {{"Port", QString::number(instance == 0 ? 1 : instance + 1)},
                {"Boud", QStringLiteral("9600")},
                {"Parity", QStringLiteral("2")},
                {"DataBit", QStringLiteral("8")},
                {"StopBit", one},
                {"DSR", one},
                {"CTS", one},
                {"AckTimer", QStringLiteral("1000")},
                {"RespTimer", QStringLiteral("1000")},
                {"NakRetry", three},
                {"AckNakTimeoutMsgFlag", zero},
                {"AckNakTimeoutRetry", three},
                {"RespTimeoutMsgFlag", zero},
                {"RespTimeoutRetry", three},
                {"AckRetryWaitTimer", zero},
                {"ResRetryWaitTimer", zero}});
  WriteSection(QStringLiteral("COMEvent"), instance,
               {{"0_EVT_RXCHAR", zero},
                {"1_EVT_TXEMPTY", zero},
                {"2_EVT_ERR_FRAME", one},
                {"3_EVT_ERR_OVERRUN", one},
                {"4_EVT_ERR_PARITY", one},
                {"5_EVT_CTS", zero},
                {"6_EVT_DSR", one},
                {"7_EVT_RLSD", zero},
                {"8_EVT_BREAK", one},
                {"9_EVT_RING", zero}});
  const QString imageDir = JoinPath(JoinPath(dir, QStringLiteral("ImagePic")), QString());
  static const char* const kLines[] = {
      "　Mivor",
      " 高速処理・下位機器互換",
      "     印字範囲拡大",
      " RS-232C / USB / Bluetooth",
      " 2012年発売"
  };
  WriteSection(QStringLiteral("BMPDown"), instance,
               {{"FileDir", imageDir},
                {"FileName0", imageDir + QStringLiteral("Mivor_320x460_1.bmp")},
                {"FileName1", imageDir + QStringLiteral("Mivor_320x600.bmp")},
                {"FileName2", imageDir + QStringLiteral("Mivor_320x300.bmp")},
                {"FileName3", imageDir + QStringLiteral("Mivor_320x465.bmp")},
                {"IBPIcmd", one},
                {"MagTrack", zero},
                {"CardBackColor", zero},
                {"PrintArea", zero},
                {"BufferSize", zero},
                {"RasterTemp", zero},
                {"BufferSizeByte", QStringLiteral("2048")},
                {"Line0", QString::fromUtf8(kLines[0])},
                {"Line1", QString::fromUtf8(kLines[1])},
                {"Line2", QString::fromUtf8(kLines[2])},
                {"Line3", QString::fromUtf8(kLines[3])},
                {"Line4", QString::fromUtf8(kLines[4])}});
  WriteSection(QStringLiteral("Form"), instance,
               {{"CenVolt", zero},
                {"PWETAutoChk", zero},
                {"CustomCmd0", QString()},
                {"CustomCmd1", QString()},
                {"CustomCmd2", QString()},
                {"CustomCmd3", QString()},
                {"Jitter0", zero},
                {"Jitter1", zero}});
  WriteSection(QStringLiteral("EEPROM"), instance, {{"SSTab", zero}});
  WriteSection(QStringLiteral("FormFile"), instance,
               {{"Dat_Path", JoinPath(dir, QStringLiteral("FileAccess"))},
                {"Dat_File", QStringLiteral("Sample.dat")},
                {"ErrorStop", zero},
                {"APA13", zero}});
}

void CreateDefaultDllIni() {
  const MainModule& m = mm();
  const QString& file = m.gDllIniPath;
  WriteIni(QStringLiteral("Application"), QStringLiteral("Name"), QStringLiteral("VantorDLL INI File"), file);
  WriteIni(QStringLiteral("Application"), QStringLiteral("Version"), m.gDllVersion, file);
  WriteIni(QStringLiteral("Log"), QStringLiteral("Logging"), QStringLiteral("-1"), file);
  // The log folder and the file name need a separator between them; an
  // empty folder leaves the bare name (the library's current folder).
  WriteIni(QStringLiteral("Log"), QStringLiteral("LogFileName"),
           JoinPath(m.gLogOutPath, QStringLiteral("Vantor_%03d.log")), file);
  WriteIni(QStringLiteral("Delay"), QStringLiteral("Delay"), QStringLiteral("0"), file);
  WriteIni(QStringLiteral("TimeOut"), QStringLiteral("WriteFileTimeOut"), QStringLiteral("5000"), file);
}

}  // namespace quorel
