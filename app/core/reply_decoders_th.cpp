// The "TH" head data: ranks, temperatures and the "pw$" halves, and the head
// lines whose resistance table depends on the model family.
#include <QStringList>
#include <array>
#include <cstddef>

#include "core/conversions.h"
#include "core/model_family.h"
#include "core/reply_fields.h"

namespace quorel::reply {
namespace {

template <size_t N>
QString Entry(const std::array<QString, N>& table, int index) {
  return index >= 0 && static_cast<size_t>(index) < N ? table[static_cast<size_t>(index)] : QString();
}

// A head rank beyond 9 comes as a device hex digit (":" or "A" for 10, ...),
// so those index the longer tables too; any other character has no range.
int RankIndex(const QString& rank) {
  if (rank.size() != 1) return -1;
  const char16_t u = rank.front().unicode();
  if (u >= '0' && u <= '?') return u - '0';
  if (u >= 'A' && u <= 'F') return u - 'A' + 10;
  return -1;
}

QString HeadRankText(ModelFamily family, const MainModule& m, const QString& rank) {
  const int i = RankIndex(rank);
  switch (family) {
    case ModelFamily::kV3: return Entry(m.gTphRankText, i);
    case ModelFamily::kV145:
    case ModelFamily::kV51: return Entry(m.gRangeTextA, i);
    case ModelFamily::kV14: return Entry(m.gRangeTextB, i);
    case ModelFamily::kV9: return Entry(m.gRangeTextC, i);
    default: return Entry(m.gErRankText, i);
  }
}

}  // namespace

void DecodeHeadData(const QString& reply, const DecodeContext& context, DisplayUpdates& out) {
  const MainModule& m = context.state;
  StateChanges& s = out.state;
  s.gThTphRank = Mid(reply, 6, 1);
  s.gThTphTemp = Mid(reply, 7, 2);
  s.gThPw1 = Mid(reply, 9, 2);
  s.gThPw2 = Mid(reply, 11, 2);
  // A short reply carries no erase head: its fields keep their values.
  if (reply.size() > 9) {
    s.gThErRank = Mid(reply, 13, 1);
    s.gThErLot = Mid(reply, 14, 1);
    s.gThErTemp = ThermistorToCelsius(Mid(reply, 15, 2));
    s.gThBoardTemp = Mid(reply, 17, 2);
  }
  const QString erRank = s.gThErRank.value_or(m.gThErRank);
  const QString erLot = s.gThErLot.value_or(m.gThErLot);
  const QString erTemp = s.gThErTemp.value_or(m.gThErTemp);
  const QString board = s.gThBoardTemp.value_or(m.gThBoardTemp);

  Set(out, "TxtPWETSend", 3, DisplayProperty::kText, *s.gThPw1 + *s.gThPw2);

  const ModelFamily family = ModelFamilyOf(m.gVersionText);
  const bool noEraseHead =
      family == ModelFamily::kV145 || family == ModelFamily::kV51 || family == ModelFamily::kV14;
  const bool noBoard = noEraseHead || family == ModelFamily::kV3 || family == ModelFamily::kV9;
  const QString celsius = QString::fromUtf8("℃");

  QStringList lines;
  lines << QStringLiteral(" TPHRank: ") + *s.gThTphRank + QLatin1Char('(') +
               HeadRankText(family, m, *s.gThTphRank) + QStringLiteral(")ohm");
  lines << QStringLiteral("  THTemp : ") + *s.gThTphTemp + celsius;
  if (!noEraseHead) {
    lines << QStringLiteral("  ErRank : ") + erRank + QStringLiteral(" (") +
                 Entry(m.gLotText, DigitOf(erRank, 1)) + QLatin1Char(')');
    lines << QStringLiteral("  ErLot  : ") + erLot;
    lines << QStringLiteral("  ErTemp : ") + erTemp + celsius;
  }
  if (!noBoard) lines << QStringLiteral("  kiTemp : ") + board + celsius;

  const QString data = Data(reply);
  Set(out, "LbTH", 0, DisplayProperty::kCaption, data);
  Set(out, "LbTH", 1, DisplayProperty::kCaption, lines.join(QStringLiteral("\r\n")));
  Set(out, "LbTH", 0, DisplayProperty::kToolTip, data);
}

}  // namespace quorel::reply
