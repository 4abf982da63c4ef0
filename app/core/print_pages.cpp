#include "core/print_pages.h"

namespace quorel::print {
namespace {

constexpr int kRasterLength = 148;  // "GJ:", selector, 144 digits

bool IsUpperHex(QChar c) {
  const char16_t u = c.unicode();
  return (u >= '0' && u <= '9') || (u >= 'A' && u <= 'F');
}

// ESC and the item, for the page texts below.
QString E(const char* item) { return Esc(QString::fromUtf8(item)); }
QString T(const char* text) { return QString::fromUtf8(text); }

// `first` and `second` alternating, thirteen items in all, beginning and
// ending with `first`: the patterned rows of the frame pages.
QString Alternating(const char* first, const char* second) {
  QString out;
  for (int i = 0; i < 13; ++i) out += E(i % 2 == 0 ? first : second);
  return out;
}

// A frame: the corner element at the four corners of a print area whose
// bottom row is `bottom` ("Y576").
QString Frame(const char* corner, const char* bottom) {
  return PageCommand(QStringLiteral("0/0/0/"), {E(corner) + E("X296") + E(corner) + E("X000") + E(bottom) +
                                                    E(corner) + E("X296") + E(corner)});
}

std::vector<QString> AllRasterLines() {
  return {SelfPrintRaster(QLatin1Char('F')), SelfPrintRaster(QLatin1Char('E')), SelfPrintRaster(QLatin1Char('C')),
          SelfPrintRaster(QLatin1Char('B')), SelfPrintRaster(QLatin1Char('A'))};
}

const char kHalfKana[] = "ｱｲｳｴｵｶｷｸｹｺｻｼｽｾｿﾀﾁﾂﾃﾄﾅﾆﾇﾈﾉﾊ";
const char kWideDigits[] = "０１２３４５６７８９！＆＃";
const char kWideSigns[] = "＄％＆’（）＊；，－．／：";
const char kWideUpper[] = "ＡＢＣＤＥＦＧＨＩＪＫＬＭ";
const char kKanji1[] = "亜唖娃阿哀愛挨姶逢葵茜穐悪";
const char kKanji2[] = "厮厰厶參簒雙叟曼燮叮叨叭叺";
const char kExtension[] = "凜熙㈱㍻㍼ⅱⅲⅳⅡⅢⅣ①②";

// Lines of the first text page of pages 1 and 2 (page 2 leaves out the
// first katakana line).
QStringList MivorTextLines(bool firstKanaLine) {
  QStringList lines;
  lines << E("X028*+*+*+*+*+*+*+*+*+*+*+") << E("e12 Mivor") << E("e12 PRINT ") + E("e11") + E("e12SAMPLE")
        << E("e11*+*+*+*+*+*+*+*+*+*+*+*+*+") << E("F10123456789!#$%&=@()*+,-./:")
        << T("ABCDEFGHIJKLMabcdefghijklm");
  if (firstKanaLine) lines << T(kHalfKana);
  lines << E("F00123456789!#$%&=@()*+,-./:") << T("ABCDEFGHIJKLMabcdefghijklm") << T(kHalfKana)
        << E("X000") + E("lA") + E("X296") + E("lA") + E("X004") + Alternating("lC", "lB");
  return lines;
}

QString VersionLine(const PageValues& v) {
  return E("X028*+*+*+ ") + v.versionText + QStringLiteral(" +**+*+");
}

std::vector<QString> Page1(const PageValues& v) {
  std::vector<QString> page{ModeCommand(QStringLiteral("K0N0X0F1Y3"))};
  for (const QString& line : AllRasterLines()) page.push_back(line);
  page.push_back(Frame("lE", "Y576"));
  page.push_back(PageCommand(QStringLiteral("0/4/0/"), MivorTextLines(true)));
  page.push_back(PageCommand(QStringLiteral("0/4/294/"),
                             {E("F3") + T(kWideDigits), T(kWideUpper), E("F1") + T(kWideDigits), T(kWideSigns),
                              T(kWideUpper), T("ａｂｃｄｅｆｇｈｉｊｋｌｍ"), T("アイウエオカキクケコサシス"), T(kKanji1),
                              T(kKanji2), T(kExtension), VersionLine(v)}));
  return page;
}

std::vector<QString> Page2(const PageValues& v) {
  std::vector<QString> page{ModeCommand(QStringLiteral("K0N0X0F1Y3"))};
  for (const QString& line : AllRasterLines()) page.push_back(line);
  page.push_back(Frame("lE", "Y436"));
  page.push_back(PageCommand(QStringLiteral("0/4/0/"), MivorTextLines(false)));
  page.push_back(PageCommand(QStringLiteral("0/4/270/"), {E("F1") + T(kWideDigits), T(kWideSigns), T(kWideUpper),
                                                          T(kKanji1), T(kKanji2), T(kExtension), VersionLine(v)}));
  return page;
}

std::vector<QString> Page3(const PageValues& v) {
  // The head is followed by the first "*" of the first line.
  const QStringList lines{
      T("*") + E("lF********************") + E("lF*"),
      E("Y028磁気カード・リーダライタ"),
      E("Y056   ") + v.versionText,
      E("Y084**************************"),
      E("Y124       << 特長 >>         "),
      E("F0"),
      E("Y164 業界初!小型消去ﾍｯﾄﾞ内蔵"),
      E("Y190*   広範なカードに対応   *"),
      E("Y216*   ﾘﾗｲﾄ･ｻｰﾏﾙｶｰﾄﾞ        *"),
      E("Y242*   PET･ﾌﾟﾗｽﾁｯｸｶｰﾄﾞ      *"),
      E("Y268 開閉機構による簡単ﾒﾝﾃﾅﾝｽ"),
      E("Y326ABCDEFGHIJKLMNOPQRSTUVWXYZ"),
      E("Y354abcdefghijklmnopqrstuvwxyz"),
      E("Y400") + E("F1TEST PRINT TEST PRINT TEST"),
      E("Y436PRINT ") + E("lF") + E("lF PRINT ") + E("lF") + E("lF PRIN"),
  };
  return {ModeCommand(QStringLiteral("F1X0Y0N0K0")), SelfPrintRaster(QLatin1Char('F')),
          PageCommand(QStringLiteral("0/4/0/"), lines)};
}

QStringList PointCardLines() {
  return {T("TESTﾎﾟｲﾝﾄ 今回:99999P 累計:99999P"), T("ﾎﾟｲﾝﾄ有効期限:99/99 ｶｰﾄﾞ発行日:99/99"),
          T("ﾎﾟｲﾝﾄがご利用いただけます。")};
}

std::vector<QString> Page6(const PageValues& v) {
  const QString stars = QString(34, QLatin1Char('*'));
  const QStringList lines{
      stars,
      T(" ") + E("lF     Re-write Card R/W/P    ") + E("lF"),
      T(" ") + E("lF ") + E("e12 PRINT SAMPLE") + E("e11 ") + E("lF"),
      E("X000") + E("Y027") + stars,
      E("X000") + E("Y051/◆ TPH=") + v.headRank + T(" TMP=") + v.headTemp + T(" ROM=") + v.versionText + T("▼"),
  };
  return {ModeCommand(QStringLiteral("K0N0X0F1Y0E2")), SelfPrintRaster(QLatin1Char('F')),
          PageCommand(QStringLiteral("1/072/27/"), lines)};
}

std::vector<QString> Page7(const PageValues& v) {
  const QStringList first{
      QString(26, QLatin1Char('*')),
      E("Y054") + E("e12 Folsk"),
      E("Y081") + E("e12 PRINT SAMPLE"),
      E("Y108") + E("e11**************************"),
      E("Y1350123456789!#$%&=@()*+,-./:"),
      E("Y162ABCDEFGHIJKLMNOPQRSTUVWXYZ"),
      E("Y189abcdefghijklmnopqrstuvwxyz"),
      E("Y216ｦｧｨｩｪｫｬｭｮｯｰｱｲｳｴｵｶｷｸｹｺｻｼｽｾｿ"),
      E("Y243ﾀﾁﾂﾃﾄﾅﾆﾇﾈﾉﾊﾋﾌﾍﾎﾏﾐﾑﾒﾓﾔﾕﾖﾗﾘﾙ"),
      E("Y270") + Alternating("lF", "l0"),
      E("Y294") + Alternating("l0", "lF"),
  };
  const QStringList second{
      T("０１２３４５６７８９！＃"),
      E("Y348") + T(kWideSigns),
      E("Y375") + T(kWideUpper),
      E("Y402ＮＯＰＱＲＳＴＵＶＷＸＹＺ"),
      E("Y429ａｂｃｄｅｆｇｈｉｊｋｌｍ"),
      E("Y456ｎｏｐｑｒｓｔｕｖｗｘｙｚ"),
      E("Y483") + T(kKanji1),
      E("Y510") + T(kKanji2),
      E("Y537******** ") + v.versionText + T(" ********"),
  };
  return {ModeCommand(QStringLiteral("K0N0X0F1Y3")), SelfPrintRaster(QLatin1Char('F')), Frame("lF", "Y560"),
          PageCommand(QStringLiteral("0/4/27/"), first), PageCommand(QStringLiteral("0/4/321/"), second)};
}

}  // namespace

QString Esc(const QString& item) { return kEsc + item; }

QString ClearCommand() { return QStringLiteral("PC"); }

QString ModeCommand(const QString& modePairs) { return QStringLiteral("MS:") + modePairs; }

QString RasterCommand(QChar selector, const QString& hexDigits) { return QStringLiteral("GJ:") + selector + hexDigits; }

bool IsRasterCommand(const QString& command) {
  if (command.size() != kRasterLength || !command.startsWith(QLatin1String("GJ:"))) return false;
  for (qsizetype i = 4; i < command.size(); ++i)
    if (!IsUpperHex(command.at(i))) return false;
  return true;
}

QString PageCommand(const QString& head, const QStringList& lines) {
  return QStringLiteral("PD:") + head + lines.join(kLf);
}

bool IsCardKind(QChar kind) { return kind.unicode() >= '0' && kind.unicode() <= '?'; }

bool IsThermalCardKind(QChar kind) { return kind == QLatin1Char('>') || kind == QLatin1Char('?'); }

QString PrintCommand(bool erase, QChar kind) {
  return (erase ? QStringLiteral("PR=") : QStringLiteral("PP=")) + kind;
}

QString PrintForCardKind(QChar kind) { return PrintCommand(!IsThermalCardKind(kind), kind); }

const QStringList& SelfPrintPageNames() {
  static const QStringList names{QString(),
                                 QStringLiteral("320x600(Mivor)"),
                                 QStringLiteral("320x460(Mivor)"),
                                 QStringLiteral("320x460(Dastel)"),
                                 QStringLiteral("Corvant(QB)"),
                                 QStringLiteral("Corvant(QB2)"),
                                 QStringLiteral("Pellis(QA)"),
                                 QStringLiteral("FolskType")};
  return names;
}

QString SelfPrintRaster(QChar selector) {
  switch (selector.unicode()) {
    case 'F':
      return RasterCommand(selector, QString(144, QLatin1Char('F')));
    case 'E':
      return RasterCommand(selector, QStringLiteral("FFF000FFF000FFF000FFF000FFF000FFF000FFF000FFF000FFF000FFF000FFF000FFF"
                                                    "000000FFF000FFF000FFF000FFF000FFF000FFF000FFF000FFF000FFF000FFF000FFF"
                                                    "000FFF"));
    case 'C':
      return RasterCommand(selector, QStringLiteral("FF0000FF8000FFC000FFE000FFF000FFF800FFFC00FFFE007FFF003FFF801FFFC00F"
                                                    "FFE007FFF003FFF801FFFC00FFFE007FFF003FFF001FFF000FFF0007FF0003FF0001F"
                                                    "F0000FF"));
    case 'B':
      return RasterCommand(selector, QStringLiteral("0000FF0001FF0003FF0007FF000FFF001FFF003FFF007FFF00FFFE01FFFC03FFF807"
                                                    "FFF00FFFE01FFFC03FFF807FFF00FFFE00FFFC00FFF800FFF000FFE000FFC000FF800"
                                                    "0FF0000"));
    case 'A':
      return RasterCommand(selector, QStringLiteral("F00000F00000F00000F00000700000300000100000000000000000000000000000000"
                                                    "00000000000000000000000000000000000000800000C00000E00000F00000F00000F"
                                                    "00000F"));
    default:
      return QString();
  }
}

std::vector<QString> SelfPrintPage(int index, const PageValues& values) {
  switch (index) {
    case 1: return Page1(values);
    case 2: return Page2(values);
    case 3: return Page3(values);
    case 4:
      return {ModeCommand(QStringLiteral("K0N0X0F3Y4")), PageCommand(QStringLiteral("1/216/2/"), PointCardLines())};
    case 5:
      // This model wants a blank before its mode pairs.
      return {ModeCommand(QStringLiteral(" K0N0X0F3Y7T0")), PageCommand(QStringLiteral("1/227/2/"), PointCardLines())};
    case 6: return Page6(values);
    case 7: return Page7(values);
    default: return {};
  }
}

}  // namespace quorel::print
