// The customer message as rows 9 to 11 come from a device: whatever the row
// data hold (any length, any characters, rows missing), decoding must not
// crash, and a text it gives that fits the rows must encode and decode back
// to itself.
#include <QString>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <optional>

#include "eeprom/customer_message.h"

using quorel::eep::DecodeMessage;
using quorel::eep::EncodeMessage;
using quorel::eep::kMessageRowCount;
using quorel::eep::SplitMessage;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  // First byte: which rows were read; the rest split into three rows.
  const uint8_t present = data[0];
  const QString body = QString::fromLatin1(reinterpret_cast<const char*>(data + 1), static_cast<qsizetype>(size - 1));
  std::array<std::optional<QString>, kMessageRowCount> rows;
  const qsizetype third = body.size() / 3 + 1;
  for (int i = 0; i < kMessageRowCount; ++i)
    if (present & (1u << i)) rows[static_cast<size_t>(i)] = body.mid(i * third, third);
  const QString text = DecodeMessage(rows);
  // A text whose code units hold no "FFFF" survives the round trip when it fits.
  if (!text.contains(QChar(0xFFFF))) {
    if (const auto pieces = SplitMessage(EncodeMessage(text))) {
      const QString back = DecodeMessage({(*pieces)[0], (*pieces)[1], (*pieces)[2]});
      if (back != text) std::abort();
    }
  }
  return 0;
}
