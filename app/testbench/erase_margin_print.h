// The erase-margin test print of the bench's first tab: for each card kind
// one re-writable card is printed three times, at erase rank R-1, R+1 and R,
// each print overwriting the last, and the operator judges each. Here: the
// card-kind list the bench's print tests share, the rank arithmetic and the
// pages of the three prints.
#pragma once
#include <QChar>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace quorel {

// ---- the card-kind list (CmbKdKind) ----

// Item 0, the automatic mode.
extern const QString kKdAutoItem;
// The 17 items: the automatic mode, then kinds "0" to "?" with their stock.
const QStringList& KdKindItems();
// The automatic mode's five steps: the kind, its list item and colours.
struct AutoKindStep {
  QChar kind;
  int item;
  uint32_t back;
  uint32_t fore;
};
const std::vector<AutoKindStep>& AutoKindSteps();

// ---- the erase rank ----

// R as a number when the text is one decimal digit; none otherwise (an
// empty text after a failed "TH" must not turn every restore into
// "!!d:0").
std::optional<int> EraseRankOf(const QString& text);
// "!!d:" and the rank in decimal without padding ("-1", "10").
QString EraseRankCommand(int rank);

// ---- the three prints ----

enum class MarginPrint { kMinus = 0, kPlus = 1, kDefault = 2 };

// The rank the print is made at.
int PrintRank(MarginPrint print, int rank);
// The five commands of the print's page: mode, "PC", glyphs "F" and "0",
// and the "PD:" page with the blocks and the label "Energy (R)...".
std::vector<QString> EraseMarginPage(MarginPrint print, const QString& rankText);

// The texts of a print (transfer, print, judge, question title and text).
struct MarginTexts {
  QString transfer, printing, judge, title, question;
};
MarginTexts MarginPrintTexts(MarginPrint print, const QString& rankText);

}  // namespace quorel
