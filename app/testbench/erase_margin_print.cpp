#include "testbench/erase_margin_print.h"

#include "core/print_pages.h"

namespace quorel {
namespace {

using print::Esc;

// A row of six 24-dot blocks: "F" black, "0" white.
QString Row(const char* glyphs) {
  QString row = Esc(QStringLiteral("e22"));
  for (const char* g = glyphs; *g; ++g) row += Esc(QStringLiteral("l") + QLatin1Char(*g));
  return row;
}

const char* const kRows[3][3] = {
    {"F00F00", "0F00F0", "00F00F"},  // minus
    {"00F00F", "0F00F0", "F00F00"},  // plus: rows 1 and 3 exchanged
    {"F00F00", "0F00F0", "00F00F"},  // default: the minus blocks
};
const char* const kSuffix[3] = {")-1", ")+1", ")"};

}  // namespace

const QString kKdAutoItem = QStringLiteral("カード種選択 [ 自動モード ]");

const QStringList& KdKindItems() {
  static const QStringList items = {
      kKdAutoItem,
      QStringLiteral("0:PET ﾘﾗｲﾄ 標準"),
      QStringLiteral("1:PET ﾘﾗｲﾄ 高感度"),
      QStringLiteral("2:PET ﾘﾗｲﾄ 低感度"),
      QStringLiteral("3:PVC ﾘﾗｲﾄ 標準"),
      QStringLiteral("4:PVC ﾘﾗｲﾄ 高感度"),
      QStringLiteral("5:PVC ﾘﾗｲﾄ 低感度"),
      QStringLiteral("6:PET ﾘﾗｲﾄ 青"),
      QStringLiteral("7:PET ﾘﾗｲﾄ 黒"),
      QStringLiteral("8:PVC ﾘﾗｲﾄ 青"),
      QStringLiteral("9:PVC ﾘﾗｲﾄ 黒"),
      QStringLiteral("::PET ﾘﾗｲﾄ 厚手"),
      QStringLiteral(";: 予備"),
      QStringLiteral("<:PET ﾘﾗｲﾄ 薄手"),
      QStringLiteral("=:PVC ﾘﾗｲﾄ 薄手"),
      QStringLiteral(">:PET ｻｰﾏﾙL (低ｴﾈﾙｷﾞｰ)"),
      QStringLiteral("?:PET ｻｰﾏﾙH (高ｴﾈﾙｷﾞｰ)"),
  };
  return items;
}

const std::vector<AutoKindStep>& AutoKindSteps() {
  static const std::vector<AutoKindStep> steps = {
      {QLatin1Char('0'), 1, 0x808080, 0xFFFFFF}, {QLatin1Char('3'), 4, 0xFFFFFF, 0x000000},
      {QLatin1Char('6'), 7, 0xFFFFFF, 0xFF0000}, {QLatin1Char('<'), 13, 0xE0E0E0, 0x404040},
      {QLatin1Char('='), 14, 0xFFFFFF, 0xFF8080},
  };
  return steps;
}

std::optional<int> EraseRankOf(const QString& text) {
  if (text.size() != 1 || text[0] < QLatin1Char('0') || text[0] > QLatin1Char('9')) return std::nullopt;
  return text[0].unicode() - '0';
}

QString EraseRankCommand(int rank) { return QStringLiteral("!!d:") + QString::number(rank); }

int PrintRank(MarginPrint print, int rank) {
  switch (print) {
    case MarginPrint::kMinus: return rank - 1;
    case MarginPrint::kPlus: return rank + 1;
    default: return rank;
  }
}

std::vector<QString> EraseMarginPage(MarginPrint print, const QString& rankText) {
  const int p = static_cast<int>(print);
  const QString r1 = Row(kRows[p][0]), r2 = Row(kRows[p][1]), r3 = Row(kRows[p][2]);
  const QString label = Esc(QStringLiteral("Y230")) + Esc(QStringLiteral("e22 Energy (")) + rankText +
                        QLatin1String(kSuffix[p]);
  return {print::ModeCommand(QStringLiteral("R0W0H0C0N0X0Y3K0F1b0")),
          print::ClearCommand(),
          print::RasterCommand(QLatin1Char('F'), QString(144, QLatin1Char('F'))),
          print::RasterCommand(QLatin1Char('0'), QString(144, QLatin1Char('0'))),
          print::PageCommand(QStringLiteral("0/4/038/"),
                             {r1, r2, r3, label, Esc(QStringLiteral("Y326")) + r1, r2, r3})};
}

MarginTexts MarginPrintTexts(MarginPrint print, const QString& rankText) {
  const QString energy = QStringLiteral("Energy (") + rankText + QStringLiteral(")");
  const QString rewritten = QStringLiteral("\n印字が書き換えられていますか？");
  switch (print) {
    case MarginPrint::kMinus:
      return {QStringLiteral("マイナス印字データ転送中"), energy + QStringLiteral(" -1　印字 実行中"),
              energy + QStringLiteral(" -1 判定は？"), QStringLiteral("消去ヘッドランク設定値－１"),
              QStringLiteral("前回の印字内容が完全に消去され、") + rewritten};
    case MarginPrint::kPlus:
      return {QStringLiteral("プラス印字データ転送中"), energy + QStringLiteral(" +1　印字 実行中"),
              energy + QStringLiteral(" +1 判定は？"), QStringLiteral("消去ヘッドランク設定値＋１"),
              QStringLiteral("消去による発色が無く、") + rewritten};
    default:
      return {QStringLiteral("Default 印字データ転送中"), energy + QStringLiteral("　印字 実行中"),
              energy + QStringLiteral(" 判定は？"), QStringLiteral("消去ヘッドランク設定値"),
              QStringLiteral("印字濃度が薄い、消え残り、発色が無く") + rewritten};
  }
}

}  // namespace quorel
