// The texts the bitmap window's download job sends around the image: the
// mode command with its track code, area letter and card kind, the magnetic
// track data, the text block of the text areas, and the record buffer size
// of the library mode. Pure functions, no device.
#pragma once
#include <QString>
#include <array>
#include <optional>

namespace quorel {

// The five message lines: 0 the top line, 1 to 4 the message lines.
using BmpMessageLines = std::array<QString, 5>;

// Print areas 2 and 3 carry text; area 3 uses only message lines 1 to 3.
constexpr int kTextArea = 2;
constexpr int kShortTextArea = 3;
bool AreaHasText(int area);

// Track option 0 gives "C1H1", 1 gives "C2H2", anything else "C0H0".
QString TrackCode(int trackOption);

// Lines 1 to 3 and, except in area 3, line 4, joined; 70 characters or
// more are cut to the first 69.
QString MagneticText(const BmpMessageLines& lines, int area);

// "MS:" + track code + "X0N0Y" + area letter ("0" for area 3, else "6") +
// "K0F0B" + card kind.
QString BmpModeCommand(const QString& trackCode, int area, const QString& cardKind);

// "WD:" + track digit + "/" + magnetic text; empty for "C0H0".
QString TrackDataCommand(const QString& trackCode, const QString& magneticText);

// The text block "PD:0/0/32/..." of areas 2 and 3 (top line large, then
// the message lines from row 390 or 528); empty for the other areas.
QString TextBlockCommand(const BmpMessageLines& lines, int area);

// The library's record/block buffer: 512 (option 0), 1024 (option 1), else
// the whole number of the text, blanks trimmed, when it lies in
// kMinBufferSize..kMaxBufferSize; nothing otherwise.
constexpr int kMinBufferSize = 128;
constexpr int kMaxBufferSize = 32767;
std::optional<int> LibraryBufferSize(int option, const QString& text);

// What the job tells the user about a buffer size it refuses.
QString BufferSizeRefusal();

// The retry count the library gets: the channel's -1 (no limit) means zero
// tries to the library, so an unlimited setting goes as 3.
int16_t LibraryRetries(int16_t nakRetry);

}  // namespace quorel
