// The "!!" replies: six two-digit hex fields from position 6 read as sensor
// voltages against the selected reference, in single precision.
#include <QStringList>
#include <array>
#include <cstdio>
#include <utility>

#include "core/model_family.h"
#include "core/reply_fields.h"

namespace quorel::reply {
namespace {

// Hex digit value, also in the device's ":".."?" notation for 10..15; -1
// for anything else.
int FieldDigit(QChar c) {
  const char16_t u = c.unicode();
  if (u >= '0' && u <= '?') return u - '0';
  if (u >= 'A' && u <= 'F') return u - 'A' + 10;
  if (u >= 'a' && u <= 'f') return u - 'a' + 10;
  return -1;
}

// A field that is not two hex digits (also one cut short) counts 0.
int FieldValue(const QString& field) {
  if (field.size() != 2) return 0;
  const int hi = FieldDigit(field.at(0));
  const int lo = FieldDigit(field.at(1));
  return hi < 0 || lo < 0 ? 0 : hi * 16 + lo;
}

QString Volts(float value) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.2f", static_cast<double>(value));
  return QString::fromLatin1(buf);
}

using Label = std::pair<const char*, int>;  // label, field position

QString LabelledLine(const std::array<QString, 6>& volts, std::initializer_list<Label> labels) {
  QStringList parts;
  for (const Label& l : labels) parts << QLatin1String(l.first) + volts[static_cast<size_t>((l.second - 6) / 2)];
  return parts.join(QStringLiteral("  "));
}

QString SensorLine(ModelFamily family, const std::array<QString, 6>& v) {
  switch (family) {
    case ModelFamily::kV3:
    case ModelFamily::kV4211:
    case ModelFamily::kV145:
    case ModelFamily::kV51: return LabelledLine(v, {{"a:", 6}, {"b:", 8}, {"c:", 10}, {"d:", 12}});
    case ModelFamily::kV14: return LabelledLine(v, {{"s:", 6}, {"a:", 8}, {"b:", 10}, {"c:", 12}, {"d:", 14}});
    // "e:" shows the sixth field, which this family reads but shows nowhere else.
    case ModelFamily::kV9:
      return LabelledLine(v, {{"a:", 6}, {"b:", 8}, {"c:", 10}, {"d:", 12}, {"e:", 16}, {"j:", 14}});
    default: return LabelledLine(v, {{"a:", 8}, {"b:", 10}, {"c:", 12}, {"d:", 14}, {"e:", 16}});
  }
}

}  // namespace

float SensorVolts(int field, bool ref33) {
  const float reference = ref33 ? 3.3f : 5.0f;
  return reference * static_cast<float>(field) / 255.0f;
}

void DecodeSensorValues(const QString& command, const QString& reply, const DecodeContext& context,
                        DisplayUpdates& out) {
  const QString output = Mid(command, 3, 1);
  if (output != QLatin1String("s") && output != QLatin1String("l")) return;
  std::array<QString, 6> volts;
  for (size_t i = 0; i < volts.size(); ++i) {
    const int field = reply.size() >= 15 ? FieldValue(Mid(reply, 6 + 2 * static_cast<qsizetype>(i), 2)) : 0;
    volts[i] = Volts(SensorVolts(field, context.sensorRef33));
  }
  if (output == QLatin1String("s")) {
    Set(out, "Label37", -1, DisplayProperty::kCaption, SensorLine(ModelFamilyOf(context.state.gVersionText), volts));
    return;
  }
  QStringList list;
  for (size_t i = 0; i < 5; ++i) list << volts[i];
  const QString line = list.join(QLatin1Char(' '));
  Set(out, "Label41", -1, DisplayProperty::kCaption, line);
  Set(out, "Label37", -1, DisplayProperty::kCaption, line);
}

}  // namespace quorel::reply
