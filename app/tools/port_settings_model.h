// The port settings without widgets: the lists the window offers, the port
// list built from the library's answer, the number rules of the text boxes,
// the comparison that decides whether closing loses edits, and what a save
// writes into the shared state, Quorel.ini and Vantor.ini.
#pragma once
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace quorel {

struct MainModule;

struct ListItem {
  QString text;
  int data = 0;
};
using ItemList = std::vector<ListItem>;

const ItemList& BaudItems();      // "115200bps" .. "  1200bps"
const ItemList& ParityItems();    // "N:パリティなし", "O:...", "E:..." (0, 1, 2)
const ItemList& DataBitItems();   // "8 bit", "7 bit"
const ItemList& LogModeItems();   // "-1: ..." .. " 3: ..." (-1 .. 3)
ItemList InitialPortItems();      // "Com1" .. "Com100": the list before the first enumeration
ItemList ManualPortItems();       // "COM1" .. "COM256"

constexpr int kMinPort = 1;
constexpr int kMaxPort = 256;

// The number behind the first three characters of a port text ("COM12" -> 12).
int PortNumberOf(const QString& text);

// The items of crwGetPortNames' answer: `count` comma-separated names, the
// last running to the end of the text. Empty unless the call succeeded and
// reported at least one port.
ItemList ParsePortNames(const QString& names, int32_t result, int count);

// The first item whose data is `data`, -1 when none.
int IndexOfData(const ItemList& items, int data);

// The item of a stored port: added in number order when the list lacks it
// (a port that is not there now is still the one the settings name). -1 for
// a number outside 1..256.
int EnsurePortItem(ItemList& items, int port);

// Whether the log folder controls are editable: the modes that write files.
bool LogFolderEditable(int logMode);

// The log folder with exactly one separator at its end ("" stays "").
QString FolderWithSeparator(const QString& folder);

// Vantor.ini [Log] LogFileName for a log folder.
QString LibraryLogFileName(const QString& logFolder);

// The focus-out rule of the time boxes: the absolute value of the number as
// decimal text ("-500" -> "500", "007" -> "7", "1.50" -> "1.5"). Text that is
// no number stays as it is, so the save can name the field.
QString AbsoluteNumberText(const QString& text);

// The numeric text boxes with their names and ranges.
enum class NumberBox {
  kAckTimer,            // TxtACKTimer
  kNakRetry,            // TxtNakBccRetry
  kAckNakTimeoutRetry,  // TxtTAckNakTimeOutRetry
  kAckRetryWait,        // TxtAckNakWaitRetry
  kRespTimer,           // TxtResTimer
  kRespTimeoutRetry,    // TxtTRespTimeOutRetry
  kRespRetryWait,       // TxtRespWaitRetry
};
constexpr int kNumberBoxes = 7;
struct NumberRule {
  const char* control;
  const char* field;  // the name the message gives the box
  int64_t min;
  int64_t max;
};
const NumberRule& RuleOf(NumberBox box);

// The value of a box: a decimal number rounded to a whole one (halves to
// even) within its range; nothing for any other text.
std::optional<int64_t> ParseNumberBox(NumberBox box, const QString& text);
// The message that refuses a box's text.
QString NumberBoxError(NumberBox box);

// Everything the window edits, as the shared state holds it.
struct PortSettings {
  int16_t port = 0;
  int32_t baud = 0;
  QString parity;  // "N", "O", "E"
  int16_t dataBit = 0;
  int16_t useCTS = 0;
  int16_t useDSR = 0;
  int32_t ackTimer = 0;
  int16_t nakRetry = 0;
  int16_t ackNakTimeoutMsgFlag = 0;
  int16_t ackNakTimeoutRetry = 0;
  int32_t ackRetryWaitTimer = 0;
  int32_t respTimer = 0;
  int16_t respTimeoutMsgFlag = 0;
  int16_t respTimeoutRetry = 0;
  int32_t resRetryWaitTimer = 0;
  std::array<int16_t, 9> events{};  // 0_EVT_RXCHAR .. 8_EVT_BREAK
  QString logFolder;                // with its separator, as gLogOutPath holds it

  bool operator==(const PortSettings& o) const;
  bool operator!=(const PortSettings& o) const { return !(*this == o); }
};

// What the controls hold: list data, tick values and the boxes' texts.
struct PortSettingsForm {
  int port = 0;
  int baud = 0;
  int parity = 0;  // item data 0, 1, 2
  int dataBit = 0;
  bool cts = false;
  bool dsr = false;
  bool ackNakMsgBox = false;
  bool respMsgBox = false;
  std::array<QString, kNumberBoxes> numbers;  // in NumberBox order
  std::array<bool, 9> events{};
  QString logFolder;  // as typed
};

// The settings of the controls; on refusal the box that is wrong.
struct ParsedSettings {
  std::optional<PortSettings> settings;
  std::optional<NumberBox> badBox;
};
ParsedSettings ParseForm(const PortSettingsForm& form);

PortSettings SettingsOf(const MainModule& m);
void ApplySettings(const PortSettings& s, MainModule& m);

// Writes the port settings into Quorel.ini, in the sections of this copy:
// [Path] Data, [Timer] Timer1, the [Comm] keys and the ten [COMEvent] keys,
// and [Path] LogOutPath into the section every copy shares.
void WritePortSettings(const MainModule& m);

// Vantor.ini: the defaults first when the file is not the library's, then
// [Log] Logging and LogFileName.
void WriteLibraryLogSettings(const MainModule& m, int logMode);

// The desktop's hardware viewers, by program name, in order of preference.
const QStringList& HardwareViewers();
// The first of them on the PATH, "" when none is installed.
QString FindHardwareViewer();
// The box shown instead of a viewer: the serial ports the library lists
// with their device files.
QString SerialDevicesText(const QString& portNames, int32_t result, int count);

// The settings file to delete as the program's last step ("Initialize
// Execution"). The deletion runs when the application is about to quit,
// after every window has closed and written its keys; a failure is shown.
void RequestSettingsWipe(const QString& iniPath);
QString PendingSettingsWipe();
// Deletes the requested file now; false with *error when it stays.
bool RunSettingsWipe(QString* error);
// The end of the program's run: closes every window, then deletes the
// requested file and shows a failure. Runs when the application is about to
// quit; nothing without a request.
void FinishSettingsWipe();

}  // namespace quorel
