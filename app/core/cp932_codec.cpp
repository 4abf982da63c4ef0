#include "core/cp932_codec.h"

#include <string>

#include "platform/cp932.h"

namespace quorel::cp932 {
namespace {

constexpr char16_t kEscapeBase = 0xF700;

// False when a character of the run has no CP932 form (it went out as '?').
bool AppendConverted(const QString& text, qsizetype from, qsizetype to, QByteArray* out) {
  if (from >= to) return true;
  bool ascii = true;
  for (qsizetype i = from; i < to && ascii; ++i) ascii = text.at(i).unicode() < 0x80;
  if (ascii) {  // the common case needs no converter
    for (qsizetype i = from; i < to; ++i) out->append(static_cast<char>(text.at(i).unicode()));
    return true;
  }
  const QByteArray utf8 = text.mid(from, to - from).toUtf8();
  std::string bytes;
  const bool exact = plat::Utf8ToCp932(std::string(utf8.constData(), static_cast<size_t>(utf8.size())), &bytes);
  out->append(bytes.data(), static_cast<qsizetype>(bytes.size()));
  return exact;
}

}  // namespace

QString Decode(const QByteArray& bytes) {
  std::string utf8;
  plat::Cp932ToUtf8(std::string(bytes.constData(), static_cast<size_t>(bytes.size())), &utf8);
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

bool EncodeExact(const QString& text, QByteArray* out) {
  out->clear();
  out->reserve(text.size());
  bool exact = true;
  qsizetype runStart = 0;
  for (qsizetype i = 0; i < text.size(); ++i) {
    const QChar c = text.at(i);
    if (IsByteEscape(c)) {
      exact = AppendConverted(text, runStart, i, out) && exact;
      out->append(static_cast<char>(c.unicode() - kEscapeBase));
      runStart = i + 1;
    }
  }
  return AppendConverted(text, runStart, text.size(), out) && exact;
}

QByteArray Encode(const QString& text) {
  QByteArray out;
  EncodeExact(text, &out);
  return out;
}

QChar ByteChar(unsigned char byte) {
  if (byte < 0x80) return QChar(byte);
  if (byte >= 0xA1 && byte <= 0xDF) return QChar(static_cast<char16_t>(0xFF61 + (byte - 0xA1)));
  return QChar(static_cast<char16_t>(kEscapeBase + byte));
}

}  // namespace quorel::cp932
