#include "print/assembler_export.h"

namespace quorel {

namespace {

const char kDirective[] = " .DATA.B ";

}  // namespace

std::string AssemblerRow(const printdata::RgbView& view, int lastColumn, int y, const printdata::Thresholds& t,
                         const printdata::StopCheck& stop, bool* stopped) {
  // The row's digits first, four dots each, then the constants two digits
  // at a time, so a stop can only come between whole bytes.
  const printdata::ScanArea area{0, lastColumn + 1, y + 1};
  std::string digits;
  printdata::AppendHexRow(view, area, y, t, nullptr, &digits);
  std::string line = kDirective;
  line.reserve(sizeof kDirective + digits.size() / 2 * 5 + 16);
  *stopped = false;
  for (size_t i = 0; i + 1 < digits.size(); i += 2) {
    line += "H'";
    line += digits[i];
    line += digits[i + 1];
    line += ',';
    if (stop && stop()) {
      *stopped = true;
      break;
    }
  }
  line.pop_back();  // the last constant's comma
  line += "   ; ";
  line += std::to_string(y);
  line += "\n;\r\n";
  return line;
}

AssemblerData BuildAssemblerData(const printdata::RgbView& view, int lastColumn, int lastRow,
                                 const printdata::Thresholds& t, const AssemblerHooks& hooks) {
  AssemblerData out;
  for (int y = 0; y <= lastRow; ++y) {
    bool stopped = false;
    std::string row = AssemblerRow(view, lastColumn, y, t, hooks.stop, &stopped);
    if (hooks.afterRow) hooks.afterRow(y);
    out.bytes += row;
    ++out.rows;
    if (stopped || (hooks.stop && hooks.stop())) {
      out.stopped = true;
      break;
    }
  }
  return out;
}

}  // namespace quorel
