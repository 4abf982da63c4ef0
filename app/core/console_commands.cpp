#include "core/console_commands.h"

namespace quorel {

const std::vector<ConsoleButton>& ConsoleButtons() {
  static const std::vector<ConsoleButton> buttons = [] {
    struct Row {
      int index;
      const char* caption;
      const char* tip;
    };
    static const Row rows[] = {
        {0, "Poll", "Polling"},
        {1, "PA", "Power ACK"},
        {2, "RS", "Reset"},
        {3, "CI", "Card IN"},
        {4, "MS", ""},
        {5, "CO", "Card Out"},
        {6, "CI*", "Card IN Rear Position"},
        {7, "CL", "Clear"},
        {8, "BI", "Card Back IN"},
        {9, "BO", "Card Back Out"},
        {10, "BP", "Card Back Position"},
        {11, "FE", "Card Feed"},
        {12, "HC", "Head Cleaning"},
        {13, "CR", "Roller Cleaning"},
        {14, "CE", ""},
        {15, "EC", ""},
        {16, "FP", "Card Front Position"},
        {17, "RP", "Card Rear Position"},
        {18, "MR", ""},
        {19, "CT", ""},
        {20, "ST", "Censor Status"},
        {21, "VS", "Firmwear Version"},
        {24, "RD", "Card Mag Read"},
        {25, "WR", "Card Mag Write/Verify"},
        {26, "WN", "Card Mag Write"},
        {27, "VR", "Card Mag Verify"},
        {28, "RC", "Mag Read Status Chack"},
        {29, "DT:1", "Tr 1 Mag Data Request"},
        {30, "DT:2", "Tr 2 Mag Data Request"},
        {31, "DT:3", "Tr 3 Mag Data Request"},
        {32, "WD:1", "Tr 1 Mag Data Set"},
        {33, "WD:2", "Tr 2 Mag Data Set"},
        {34, "WD:3", "Tr 3 Mag Data Set"},
        {35, "PC", "Print Data Clear"},
        {36, "PR", "Erase & Print"},
        {37, "PO", "Erase & Print + Card Out"},
        {38, "PP", "Print"},
        {39, "EP+CO", ""},
        {40, "CI+EP", ""},
        {41, "CI+PR", ""},
        {43, "PD", "Print Data Set"},
        {44, "AS", "Print Area Set"},
    };
    std::vector<ConsoleButton> v;
    for (const Row& r : rows) v.push_back({r.index, QString::fromUtf8(r.caption), QString::fromUtf8(r.tip)});
    return v;
  }();
  return buttons;
}

bool IsBuiltCommand(int index) { return index == 4 || (index >= 32 && index <= 34) || index == 43 || index == 44; }

QString FixedCommand(int index) {
  if (index <= 0 || IsBuiltCommand(index)) return QString();
  switch (index) {
    case 39: return QStringLiteral("EP");
    case 40:
    case 41: return QStringLiteral("CI");
    default: break;
  }
  for (const ConsoleButton& b : ConsoleButtons())
    if (b.index == index) return b.caption;  // the caption is the command
  return QString();
}

QString FollowUpCommand(int index, bool msThenMr) {
  switch (index) {
    case 4: return msThenMr ? QStringLiteral("MR") : QString();
    case 39: return QStringLiteral("CO");
    case 40: return QStringLiteral("EP");
    case 41: return QStringLiteral("PR");
    default: return QString();
  }
}

QString RightButtonCommand(int index) {
  switch (index) {
    case 2: return QStringLiteral("RSS");
    case 4: return QStringLiteral("MS:d1");
    case 21: return QStringLiteral("VS?");
    case 29:
    case 30:
    case 31: return QStringLiteral("dt:") + QString::number(index - 28);
    default: return QString();
  }
}

std::optional<QString> MsModeText(const QString& box, bool cardKindOn, const QString& cardKindText) {
  QString ms;
  for (QChar c : box)
    if (c.unicode() >= 0x20) ms += c;
  if (!cardKindOn) return ms;
  if (cardKindText.isEmpty()) return std::nullopt;
  const QChar kind = cardKindText.at(0);
  // Every position is looked at, not only the key positions of the pairs.
  const int p = ms.indexOf(QLatin1Char('B'));
  if (p < 0) return ms + QLatin1Char('B') + kind;
  return ms.left(p + 1) + kind + ms.mid(p + 2);
}

QString PdPageText(const QString& box) {
  QString pd;
  for (QChar c : box) {
    const char16_t u = c.unicode();
    if (u >= 0x20 || u == 14 || u == 15 || u == 10 || u == 27) pd += c;
  }
  return pd;
}

QString TrackDataCommand(int track, const QString& data) {
  return QStringLiteral("WD:") + QString::number(track) + QLatin1Char('/') + data;
}

}  // namespace quorel
