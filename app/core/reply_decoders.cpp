#include "core/reply_decoders.h"

#include <cstdint>

#include "core/reply_fields.h"
#include "core/text_macros.h"

namespace quorel {

using reply::Data;
using reply::DigitOf;
using reply::EndsNormally;
using reply::Mid;
using reply::Set;

namespace {

constexpr DisplayProperty kCaption = DisplayProperty::kCaption;
constexpr DisplayProperty kText = DisplayProperty::kText;
constexpr DisplayProperty kToolTip = DisplayProperty::kToolTip;

// Track boxes are numbered 1 to 3; any other digit names none of them.
bool IsTrack(int n) { return n >= 1 && n <= 3; }

int HexDigitValue(QChar c) {
  const char16_t u = c.unicode();
  if (u >= '0' && u <= '9') return u - '0';
  if (u >= 'A' && u <= 'F') return u - 'A' + 10;
  if (u >= 'a' && u <= 'f') return u - 'a' + 10;
  return -1;
}

// Counter data as a decimal number of at least eight digits. Data that is
// not 1 to 16 hex digits (a 64-bit number) is shown as it came.
QString CounterDecimal(const QString& data) {
  if (data.isEmpty() || data.size() > 16) return data;
  uint64_t value = 0;
  for (const QChar c : data) {
    const int d = HexDigitValue(c);
    if (d < 0) return data;
    value = value * 16 + static_cast<uint64_t>(d);
  }
  return QString::number(value).rightJustified(8, QLatin1Char('0'));
}

void DecodeCounter(const QString& reply, DisplayUpdates& out) {
  if (reply.size() >= 12) {
    Set(out, "LbCT", -1, kCaption, Data(reply));
    Set(out, "LbCT", -1, kToolTip, QStringLiteral("Dec:") + CounterDecimal(Data(reply)));
  } else {
    Set(out, "LbCT", -1, kCaption, reply);
  }
}

void DecodeStatus(const QString& reply, DisplayUpdates& out) {
  const QString caption = EndsNormally(reply) ? Data(reply) : reply;
  Set(out, "Label14", -1, kCaption, caption);
  Set(out, "Label14", -1, kToolTip, caption);
}

void DecodeVersion(const QString& reply, DisplayUpdates& out) {
  QString text = reply;
  if (EndsNormally(reply)) {
    text = Data(reply);
    out.state.gVersionText = text;
  }
  Set(out, "TxtROMVer", -1, kText, text);
  Set(out, "TxtROMVer", -1, kToolTip, text);
}

// The card kind follows the key "B" of the mode pairs (key letter, value
// character) that start at position 6; the first list entry whose first
// character is that kind becomes selected.
void SelectCardKind(const QString& reply, const DecodeContext& context, DisplayUpdates& out) {
  const qsizetype dataLen = reply.size() - 5;
  for (qsizetype off = 0; off < dataLen; off += 2) {
    if (Mid(reply, 6 + off, 1) != QLatin1String("B")) continue;
    const QString kind = Mid(reply, 7 + off, 1);
    QString shown = context.cardKindText;
    for (int i = 0; !kind.isEmpty() && i < context.cardKinds.size(); ++i) {
      if (context.cardKinds.at(i).left(1) != kind) continue;
      ControlUpdate select;
      select.control = QStringLiteral("CmbKdKind");
      select.property = DisplayProperty::kListIndex;
      select.listIndex = i;
      out.controls.push_back(select);
      shown = context.cardKinds.at(i);
      break;
    }
    Set(out, "CmbKdKind", -1, kToolTip, shown);
    return;
  }
}

void DecodeModes(const QString& reply, const DecodeContext& context, DisplayUpdates& out) {
  QString text = reply;
  if (EndsNormally(reply)) {
    text = Data(reply);
    Set(out, "TxtMR", -1, kText, text);
    if (context.cardKindFromMode) SelectCardKind(reply, context, out);
  } else {
    Set(out, "TxtMR", -1, kText, text);
  }
  Set(out, "TxtMR", -1, kToolTip, text);
}

void DecodeReadStatus(const QString& reply, DisplayUpdates& out) {
  if (reply.size() >= 13) {
    Set(out, "LbDTtrLen", 1, kCaption, Mid(reply, 6, 2));
    Set(out, "LbDTtrLen", 2, kCaption, Mid(reply, 8, 2));
    Set(out, "LbDTtrLen", 3, kCaption, Mid(reply, 10, 2));
  } else if (reply.size() > 5) {
    Set(out, "LbDTtrLen", 1, kCaption, Data(reply));
  } else {
    Set(out, "LbDTtrLen", 1, kCaption, reply);
  }
}

void DecodeTrackData(const QString& command, const QString& reply, DisplayUpdates& out) {
  if (command.size() < 4) return;
  const int track = DigitOf(command, 4);
  if (!IsTrack(track)) return;
  Set(out, "TxtDTtr", track, kText, reply.size() > 6 ? Mid(reply, 7) : reply);
}

// Year, month and day at 6-11, the weekday digit at 13 (0 Sunday; 7 is the
// table's blank, larger digits show nothing), time at 14-19.
void DecodeClock(const QString& reply, DisplayUpdates& out) {
  if (!EndsNormally(reply)) return;
  static const QString kWeekdays = QString::fromUtf8("日月火水木金土　");
  const QString weekday = kWeekdays.mid(DigitOf(reply, 13), 1);
  const QString line = QString::fromUtf8(" 時計ﾃﾞｰﾀ : ") + QStringLiteral("20") + Mid(reply, 6, 2) +
                       QLatin1Char('/') + Mid(reply, 8, 2) + QLatin1Char('/') + Mid(reply, 10, 2) +
                       QLatin1Char('(') + weekday + QLatin1Char(')') + Mid(reply, 14, 2) + QLatin1Char(':') +
                       Mid(reply, 16, 2) + QLatin1Char(':') + Mid(reply, 18, 2);
  Set(out, "Label37", -1, kCaption, line);
}

void DecodeReData(const QString& reply, const DecodeContext& context, DisplayUpdates& out) {
  QString reText = context.state.gReText;
  if (EndsNormally(reply)) {
    reText = Data(reply);
    out.state.gReText = reText;
  }
  Set(out, "TxtPWETSend", 2, kText, reText);
  Set(out, "TxtPWETSend", 2, kToolTip, reText);
}

void DecodeTh(const QString& reply, const DecodeContext& context, DisplayUpdates& out) {
  if (EndsNormally(reply)) {
    reply::DecodeHeadData(reply, context, out);
    return;
  }
  Set(out, "LbTH", 0, kCaption, reply);
  Set(out, "LbTH", 0, kToolTip, reply);
}

}  // namespace

bool StateChanges::empty() const {
  return !gVersionText && !gReText && !gThTphRank && !gThTphTemp && !gThPw1 && !gThPw2 && !gThErRank &&
         !gThErLot && !gThErTemp && !gThBoardTemp;
}

const ControlUpdate* DisplayUpdates::find(const QString& control, int index, DisplayProperty property) const {
  for (auto it = controls.rbegin(); it != controls.rend(); ++it)
    if (it->control == control && it->index == index && it->property == property) return &*it;
  return nullptr;
}

DisplayUpdates DecodeReply(const QString& commandText, const QString& replyText, const DecodeContext& context) {
  DisplayUpdates out;
  const QString code = commandText.left(2);
  const auto is = [&code](const char* c) { return code == QLatin1String(c); };
  if (is("CT")) DecodeCounter(replyText, out);
  else if (is("ST")) DecodeStatus(replyText, out);
  else if (is("VS")) DecodeVersion(replyText, out);
  else if (is("MR")) DecodeModes(replyText, context, out);
  else if (is("RC")) DecodeReadStatus(replyText, out);
  else if (is("DT") || is("dt")) DecodeTrackData(commandText, replyText, out);
  else if (is("CK")) DecodeClock(replyText, out);
  else if (is("RE")) DecodeReData(replyText, context, out);
  else if (is("TH")) DecodeTh(replyText, context, out);
  else if (is("!!")) reply::DecodeSensorValues(commandText, replyText, context, out);
  return out;
}

DisplayUpdates ParameterDisplays(const QString& commandText) {
  DisplayUpdates out;
  const QString code = commandText.left(2);
  if (code == QLatin1String("MS")) {
    Set(out, "TxtMDData", -1, kText, Mid(commandText, 4));
  } else if (code == QLatin1String("WD")) {
    // "WD:" n "/" data
    const int track = DigitOf(commandText, 4);
    if (IsTrack(track)) Set(out, "txtWd", track, kText, Mid(commandText, 6));
  } else if (code == QLatin1String("PD")) {
    Set(out, "TxtPDData", -1, kText, CtrlCharsToMacros(Mid(commandText, 4)));
  }
  return out;
}

DisplayUpdates HeadDataDisplay(const QString& replyText, const DecodeContext& context) {
  DisplayUpdates out;
  if (replyText.size() < 6) {
    Set(out, "LbTH", 0, kCaption, replyText);
    Set(out, "LbTH", 0, kToolTip, replyText);
  } else {
    reply::DecodeHeadData(replyText, context, out);
  }
  return out;
}

void ApplyStateChanges(const StateChanges& c, MainModule& m) {
  const auto apply = [](const std::optional<QString>& from, QString& to) {
    if (from) to = *from;
  };
  apply(c.gVersionText, m.gVersionText);
  apply(c.gReText, m.gReText);
  apply(c.gThTphRank, m.gThTphRank);
  apply(c.gThTphTemp, m.gThTphTemp);
  apply(c.gThPw1, m.gThPw1);
  apply(c.gThPw2, m.gThPw2);
  apply(c.gThErRank, m.gThErRank);
  apply(c.gThErLot, m.gThErLot);
  apply(c.gThErTemp, m.gThErTemp);
  apply(c.gThBoardTemp, m.gThBoardTemp);
}

}  // namespace quorel
