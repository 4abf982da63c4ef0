#include "testbench/print_position_print.h"

#include <QStringList>

#include "core/print_pages.h"

namespace quorel {
namespace {

using print::Esc;

const QChar kLf = print::kLf;

QString Rows(std::initializer_list<const char*> rows) {
  QString hex;
  for (const char* r : rows) hex += QLatin1String(r);
  return hex;
}

QString Repeat(const char* row, int n) { return QString(QLatin1String(row)).repeated(n); }

// The 24 rows of glyph "C", a band from top left to bottom right.
const char* const kBand[] = {"FF0000", "FF8000", "FFC000", "FFE000", "FFF000", "FFF800", "FFFC00", "FFFE00",
                             "7FFF00", "3FFF80", "1FFFC0", "0FFFE0", "07FFF0", "03FFF8", "01FFFC", "00FFFE",
                             "007FFF", "003FFF", "001FFF", "000FFF", "0007FF", "0003FF", "0001FF", "0000FF"};

QString GlyphRows(QChar code) {
  switch (code.toLatin1()) {
    case 'F': return Repeat("FFFFFF", 24);
    case '0': return Repeat("000000", 24);
    case 'E': return Repeat("FFF000", 12) + Repeat("000FFF", 12);
    case 'C': {
      QString s;
      for (const char* r : kBand) s += QLatin1String(r);
      return s;
    }
    case 'B': {
      QString s;
      for (int i = 23; i >= 0; --i) s += QLatin1String(kBand[i]);
      return s;
    }
    case 'A':
      return Repeat("F00000", 4) + Rows({"700000", "300000", "100000"}) + Repeat("000000", 10) +
             Rows({"000008", "00000C", "00000E"}) + Repeat("00000F", 4);
    case '9':
      return Repeat("000000", 7) +
             Rows({"0000FF", "000FF0", "00FF00", "0FF000", "FF0000", "FF0000", "0FF000", "00FF00", "000FF0",
                   "0000FF"}) +
             Repeat("000000", 7);
    default: return QString();
  }
}

QString E(const char* item) { return Esc(QLatin1String(item)); }
QString L(const char* glyph) { return Esc(QStringLiteral("l") + QLatin1String(glyph)); }

// X004, then thirteen band glyphs C B C B ... C.
QString BandRow() {
  QString s = E("X004");
  for (int i = 0; i < 6; ++i) s += L("C") + L("B");
  return s + L("C");
}

const QString kRuler = QStringLiteral("*+*+*+*+*+*+*+*+*+*+*+*+*+");
const QString kFullWidthHead = QStringLiteral("０１２３４５６７８９！＂＃");  // U+FF02: CP932 FA57
const QString kFullWidthSigns = QStringLiteral("＄％＆’（）＊；，－．／：");
const QString kFullWidthUpper = QStringLiteral("ＡＢＣＤＥＦＧＨＩＪＫＬＭ");
const QString kKanji = QStringLiteral("亜唖娃阿哀愛挨姶逢葵茜穐悪");
const QString kDigitsSigns = QStringLiteral("0123456789!#$%&=@()*+,-./:");
const QString kLatin = QStringLiteral("ABCDEFGHIJKLMabcdefghijklm");

// The head of both pages' text block: ruler, "PRINT SAMPLE", the version.
QString SampleHead(const QString& version) {
  return E("X028") + QStringLiteral("*+*+*+*+*+*+*+*+*+*+*+") + kLf + E("e12 PRINT") + E("e11 ") + E("e12SAMPLE") +
         kLf + E("e11   Version: ") + version + kLf + E("e11") + QStringLiteral("*+*+*+*+*+*+*+*+*+*+*+*+*+") + kLf +
         E("F1") + kDigitsSigns + kLf + kLatin + kLf + E("F0") + kDigitsSigns + kLf;
}

std::vector<QString> Glyphs(const char* codes) {
  std::vector<QString> out;
  for (const char* c = codes; *c; ++c) out.push_back(TestGlyphCommand(QLatin1Char(*c)));
  return out;
}

}  // namespace

const QString kFallbackModes = QStringLiteral("H7C7");

QString TestGlyphCommand(QChar code) {
  const QString rows = GlyphRows(code);
  return rows.isEmpty() ? QString() : print::RasterCommand(code, rows);
}

std::vector<QString> EvaluationSheet(const QString& version) {
  std::vector<QString> page = Glyphs("FECBA0");
  page.push_back(print::ModeCommand(QStringLiteral("R0W0H0C0N0X0Y3K0F1b0")));
  page.push_back(print::ClearCommand());
  page.push_back(QStringLiteral("VS"));
  page.push_back(QStringLiteral("PD:0/0/70/") + L("E") + E("X296") + L("E") + E("X000") + E("Y366") + L("E") +
                 E("X296") + L("E"));
  const QString text =
      QStringLiteral("PD:0/4/0/") + SampleHead(version) + E("F0") + kLatin + kLf + E("Y274") + E("F0") +
      kFullWidthHead + kLf + kFullWidthSigns + kLf + kFullWidthUpper + kLf + kKanji + kLf +
      QStringLiteral("堯槇遙瑤凜熙①②③㊤㊥㊦ⅲ") + kLf + QStringLiteral("㊧㊨㈱㈲㈹㍾㍽㍼㍻纊褜鍈櫤") + kLf + kRuler + kLf +
      E("Y218") + L("E") + E("X296") + L("E") + E("X052") + L("E") + E("X116") + L("E") + E("X180") + L("E") +
      E("X244") + L("E") + E("X000") + E("Y246") + L("A") + E("X296") + L("A") + BandRow() + kLf + E("X000") +
      E("Y000") + L("E") + E("X296") + L("E") + E("X000") + E("Y436") + L("E") + E("X296") + L("E");
  page.push_back(text);
  return page;
}

std::vector<QString> PositionSheet(const QString& version) {
  std::vector<QString> page = Glyphs("ECBA9");
  page.push_back(print::ModeCommand(QStringLiteral("R0W0H0C0N0X0Y3K0F1b1")));
  page.push_back(print::ClearCommand());
  page.push_back(QStringLiteral("VS"));
  page.push_back(QStringLiteral("PD:0/4/0/") + SampleHead(version) + kLatin);
  page.push_back(print::PageCommand(
      QStringLiteral("0/4/414/"), {E("F0") + kFullWidthHead, kFullWidthSigns, kFullWidthUpper, kKanji,
                                   QStringLiteral("堯槇遙瑤凜熙①②③㊤㊥㊦㊧"), QStringLiteral("㊨㈱㈲㈹㍾㍽㍼㍻纊褜鍈櫤ⅲ"), kRuler}));
  page.push_back(QStringLiteral("PD:0/0/288/") + L("E") + E("X296") + L("E") + E("X052") + L("E") + E("X116") +
                 L("E") + E("X180") + L("E") + E("X244") + L("E") + E("X148") + L("9") + E("Y316") + E("X000") +
                 L("A") + E("X296") + L("A") + BandRow());
  page.push_back(QStringLiteral("PD:0/0/0/") + L("E") + E("X296") + L("E") + E("X000") + E("Y576") + L("E") +
                 E("X296") + L("E"));
  page.push_back(print::PageCommand(
      QStringLiteral("0/0/222/"),
      {E("F5") + QStringLiteral("0123456789!#$%ABCDEFGHIJKLMabcdefghijklm"),
       E("F4") + QStringLiteral("0123456789!#$%ABCDEFGHIJKLMabcdefghijklm"),
       E("F5") + QStringLiteral("亜唖娃阿哀愛挨姶逢葵堯槇遙瑤凜熙①②③㊤"), E("Y348") + QStringLiteral("Print position check"),
       QString(), Esc(QStringLiteral("e22    Mivor ｼﾘｰｽﾞ"))}));
  return page;
}

QString PositionPrintCommand(QChar kind) { return print::PrintForCardKind(kind); }

QString SavedModesOf(const QString& mrReply) {
  return mrReply.left(5) == QLatin1String("AMR90") ? mrReply.mid(5) : kFallbackModes;
}

QString ClosingModeCommand(const QString& bank2Bits, const QString& savedModes) {
  return (bank2Bits.endsWith(QLatin1Char('1')) ? QStringLiteral("MS:b1") : QStringLiteral("MS:b0")) + savedModes;
}

}  // namespace quorel
