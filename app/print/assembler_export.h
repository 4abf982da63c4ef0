// "IMAGE.dat": the print area's dots as a source file of byte constants for
// the H8 assembler. Each picture row becomes one " .DATA.B " directive of
// "H'xx" constants (eight dots a byte, the leftmost dot in bit 7) with the
// row number as its comment, ended by LF alone, then a line holding only ";"
// ended by CR LF. The mixed line ends are part of the file's format and are
// kept byte for byte.
//
// No Qt and no I/O here: the window hands in its view image and writes the
// bytes with WriteAssemblerFile.
#pragma once
#include <functional>
#include <string>

#include "print/dot_scan.h"

namespace quorel {

constexpr char kAssemblerFileName[] = "IMAGE.dat";

// One row's record: the directive with its comment, LF, ";", CR LF.
// The stop check runs after each constant; when it asks to stop, the row
// ends there (the constants made so far stay) and *stopped is set.
std::string AssemblerRow(const printdata::RgbView& view, int lastColumn, int y, const printdata::Thresholds& t,
                         const printdata::StopCheck& stop, bool* stopped);

struct AssemblerHooks {
  printdata::StopCheck stop;
  // After each row is built (its index), before the row's stop check: where
  // the window shows progress and lets its events run.
  std::function<void(int row)> afterRow;
};

struct AssemblerData {
  std::string bytes;
  int rows = 0;          // rows written
  bool stopped = false;  // a stop ended it; the row it came in is the last
};

// Rows 0 to lastRow of columns 0 to lastColumn. A stop seen while a row is
// built or right after it ends the file with that row.
AssemblerData BuildAssemblerData(const printdata::RgbView& view, int lastColumn, int lastRow,
                                 const printdata::Thresholds& t, const AssemblerHooks& hooks);

}  // namespace quorel
