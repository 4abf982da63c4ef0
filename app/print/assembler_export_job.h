// "File Save for H8Assembla": the print area's picture, turned into dots by
// the download's rule, written to "IMAGE.dat" in the bitmap folder. No
// device command; Stop ends the file after the row it came in.
//
// The file is written whole when the rows are made (or a stop ended them).
// A file that cannot be written is no silent failure: a critical box names
// its path, and the controls are unlocked as after every other end.
#pragma once
#include <QString>

#include "print/bmp_job_ports.h"
#include "print/print_area_layout.h"

namespace quorel {

// The path the export writes: the bitmap folder followed by "IMAGE.dat".
QString AssemblerFilePath(const QString& bitmapFolder);

// The text of the box shown when the file cannot be written.
QString AssemblerWriteError(const QString& path);

enum class AssemblerEnd { kDone, kStopped, kNotWritten };

AssemblerEnd ExportAssemblerFile(BmpJobView& view, const QString& bitmapFolder, const PrintArea& area,
                                 const printdata::Thresholds& thresholds);

}  // namespace quorel
