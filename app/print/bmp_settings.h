// What the bitmap window keeps in the program settings file: section
// [BMPDown] with this copy's instance number appended when it is not 0
// ([BMPDown2] for instance 2). The load reads every key once; the close
// writes the window's choices back.
#pragma once
#include <QString>
#include <array>

#include "print/print_area_layout.h"

namespace quorel {

// The choices as the window's option groups hold them: an index, or -1
// when no button of the group is selected.
struct BmpChoices {
  int ibpi = 1;           // OpIBPI: 0 "IB", 1 "PI"
  int tranceMode = 0;     // OpTranceMode: 0 "DLL", 1 "Form"
  int magTrack = 0;       // OpMagTr: 0 "1", 1 "2"
  int cardBackColor = 0;  // OpCdBackColor: 0 "White", 1 "Silver"
  int printArea = 0;      // OpPrArea: 0 to 3
  int bufferSize = 0;     // OpBufferSize: 0 "512 Byte", 1 "1024 Byte", 2 the text box
  QString bufferSizeByte = QStringLiteral("2048");
  std::array<QString, kMessageLineCount> lines;
  std::array<QString, kPrintAreaCount> fileNames;  // the file last chosen for each print area
};

struct BmpSettings {
  QString fileDir;  // the bitmap folder, ending in a separator
  BmpChoices choices;
};

// "BMPDown", numbered for this copy of the program.
QString BmpSection();

// Reads the section from gIniPath. An option key that is missing, not a
// whole number or no index of its group gives that group's default (the
// value the program's default settings write: "PI", "DLL", track 1, white,
// area 0, 512 bytes); an empty TranceMode is "DLL". FileName3 gets the
// rename of RenamedAreaThreeFile.
BmpSettings LoadBmpSettings();

// The close: IBPIcmd, MagTrack, CardBackColor and TranceMode for each group
// with a selected button (-1 writes nothing), PrintArea, BufferSize with
// BufferSizeByte when a buffer button is selected, Line0 to Line4 and
// FileName0 to FileName3. FileDir is not written here.
void SaveBmpChoices(const BmpChoices& choices);

// The stored picture of area 3 that older installations named
// "Mivor_320x465.bmp" is "Mivor_320x460_2.bmp": when the value ends in the
// old name, the old name is replaced; any other value comes back unchanged.
QString RenamedAreaThreeFile(const QString& value);

// A stored option index: the decimal text as a whole number from 0 to
// count - 1, blanks around it allowed; anything else gives fallback.
int OptionIndex(const QString& text, int count, int fallback);

}  // namespace quorel
