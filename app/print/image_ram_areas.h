// The device's stored image areas: the print image buffer ("0") copied into
// one of the 14 areas ("1" to "9", then ":" to ">") and back. The command
// texts are pure functions; the two actions run on the job interfaces the
// download and the card print use (bmp_job_ports.h).
//
// A stored area holds only the image. Loading into a print area with text
// lines lays blank pages over the old text first, then the window's lines
// (top line large, message lines below), so an earlier job's text does not
// show through.
#pragma once
#include <QString>
#include <QStringList>

#include "print/bmp_job_commands.h"
#include "print/bmp_job_ports.h"

namespace quorel {

// The buffer's code.
constexpr char kImageBufferArea = '0';

// "IC:" + source + destination: save is buffer to area, load is area to
// buffer.
QString SaveAreaCommand(const QString& area);
QString LoadAreaCommand(const QString& area);

// The commands a load sends for a print area with text, in order: the mode,
// the blank top line and four blank lines, then the window's top line and
// message lines 1 to 4 (as they stand, empty ones too). Empty for an area
// without text.
QStringList LoadTextCommands(const BmpMessageLines& lines, int printArea);

// What the two actions read of the window.
struct RamAreaChoices {
  QString area;      // CmbSaveAreaNo or CmbLoadAreaNo
  QString cardKind;  // the card print's kind code
  int printArea = 0;
  BmpMessageLines lines;
};

// "Save to RAM": polls once more than the other jobs before its preamble
// (a second status read after the port opens), then the buffer into the
// area. The caption stays "Data set".
void SaveToRam(BmpJobLine& line, BmpJobView& view, const RamAreaChoices& choices);

// "Load Image Print": the area into the buffer, the text pages of a text
// area, then the card print sequence with its own job start; the label ends
// cyan, empty or "Stop".
void LoadImagePrint(BmpJobLine& line, BmpJobView& view, const RamAreaChoices& choices);

}  // namespace quorel
