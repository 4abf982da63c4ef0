#include "core/text_macros.h"

#include "core/conversions.h"
#include "core/cp932_codec.h"
#include "core/main_module.h"

namespace quorel {
namespace {

bool At(const QString& text, qsizetype i, QLatin1String word) {
  if (text.size() - i < word.size()) return false;
  const QChar* p = text.constData() + i;
  for (qsizetype k = 0; k < word.size(); ++k)
    if (p[k].unicode() != static_cast<unsigned char>(word.data()[k])) return false;
  return true;
}

// Length of the "bin$" macro at i and its byte, or 0 when the text there is
// no macro.
qsizetype BinMacro(const QString& text, qsizetype i, unsigned char* byte) {
  if (!At(text, i, QLatin1String("bin$"))) return 0;
  const qsizetype digits = i + 4;
  const qsizetype left = text.size() - digits;
  if (left >= 2 && IsDeviceHexDigit(text.at(digits)) && IsDeviceHexDigit(text.at(digits + 1))) {
    *byte = static_cast<unsigned char>(HexPairToInt(text.mid(digits, 2)));
    return 6;
  }
  if (left == 1 && IsDeviceHexDigit(text.at(digits))) {
    *byte = static_cast<unsigned char>(HexPairToInt(text.mid(digits, 1)));
    return 5;
  }
  return 0;
}

}  // namespace

QString ExpandTextMacros(const QString& text) {
  const MainModule& m = mm();
  struct Macro {
    QLatin1String word;
    QString value;
  };
  const Macro macros[] = {
      {QLatin1String("ver$"), m.gVersionText}, {QLatin1String("pw$"), m.gThPw1 + m.gThPw2},
      {QLatin1String("re$"), m.gReText},       {QLatin1String("tr$"), m.gThTphRank},
      {QLatin1String("er$"), m.gThErRank},     {QLatin1String("el$"), m.gThErLot},
      {QLatin1String("tt$"), m.gThTphTemp},    {QLatin1String("et$"), m.gThErTemp},
      {QLatin1String("pt$"), m.gThBoardTemp},
  };
  QString out;
  qsizetype i = 0;
  while (i < text.size()) {
    bool matched = false;
    for (const Macro& macro : macros) {
      if (At(text, i, macro.word)) {
        out += macro.value;
        i += macro.word.size();
        matched = true;
        break;
      }
    }
    if (!matched) out += text.at(i++);
  }
  return out;
}

QString ExpandCtrlMacros(const QString& text) {
  QString out;
  qsizetype i = 0;
  while (i < text.size()) {
    unsigned char byte = 0;
    if (At(text, i, QLatin1String("esc$"))) {
      out += QChar(27);
      i += 4;
    } else if (const qsizetype n = BinMacro(text, i, &byte)) {
      out += cp932::ByteChar(byte);
      i += n;
    } else if (At(text, i, QLatin1String("si$"))) {
      out += QChar(15);
      i += 3;
    } else if (At(text, i, QLatin1String("so$"))) {
      out += QChar(14);
      i += 3;
    } else if (At(text, i, QLatin1String("lf$"))) {
      out += QChar(10);
      i += 3;
    } else {
      out += text.at(i++);
    }
  }
  return out;
}

QString CtrlCharsToMacros(const QString& text) {
  QString out;
  out.reserve(text.size());
  for (const QChar c : text) {
    switch (c.unicode()) {
      case 27: out += QLatin1String("esc$"); break;
      case 15: out += QLatin1String("si$"); break;
      case 14: out += QLatin1String("so$"); break;
      case 10: out += QLatin1String("lf$"); break;
      default: out += c;
    }
  }
  return out;
}

}  // namespace quorel
