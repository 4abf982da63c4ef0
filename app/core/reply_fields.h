// Field access shared by the reply decoders: positions count from 1 and a
// field past the end of the text is empty, so a short reply never reads out
// of bounds.
#pragma once
#include <QString>
#include <utility>

#include "core/reply_decoders.h"

namespace quorel::reply {

// n characters from position pos (1-based); n < 0 takes the rest.
inline QString Mid(const QString& text, qsizetype pos, qsizetype n = -1) {
  if (pos < 1 || pos > text.size()) return QString();
  return text.mid(pos - 1, n);
}

inline QString EndCode(const QString& reply) { return Mid(reply, 4, 2); }
inline bool EndsNormally(const QString& reply) { return EndCode(reply) == QLatin1String("90"); }
inline QString Data(const QString& reply) { return Mid(reply, 6); }

// One character read as a number: a decimal digit gives its value, anything
// else (also a missing character) 0.
inline int DigitOf(const QString& text, qsizetype pos) {
  if (pos < 1 || pos > text.size()) return 0;
  const char16_t u = text.at(pos - 1).unicode();
  return u >= '0' && u <= '9' ? u - '0' : 0;
}

inline void Set(DisplayUpdates& out, const char* control, int index, DisplayProperty property,
                const QString& text) {
  ControlUpdate u;
  u.control = QLatin1String(control);
  u.index = index;
  u.property = property;
  u.text = text;
  out.controls.push_back(std::move(u));
}

// "TH": fields, TxtPWETSend(3), LbTH(0) and (1). Stores the fields whatever
// the end code; the callers decide when that applies.
void DecodeHeadData(const QString& reply, const DecodeContext& context, DisplayUpdates& out);

// Volts of one sensor field (0..255) against the 3.3 V or the 5 V
// reference, computed in single precision.
float SensorVolts(int field, bool ref33);

// "!!": the sensor values of the command's third character ("s", "l").
void DecodeSensorValues(const QString& command, const QString& reply, const DecodeContext& context,
                        DisplayUpdates& out);

}  // namespace quorel::reply
