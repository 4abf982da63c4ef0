// The command texts of the console's fixed buttons, and the rules that build
// the "MS:" and "PD:" parameters from their boxes. Pure functions: no window,
// no device.
#pragma once
#include <QString>
#include <optional>
#include <vector>

namespace quorel {

struct ConsoleButton {
  int index;
  QString caption;
  QString toolTip;  // "" when the button has none
};

// The 42 buttons of Command1, in index order (there are no 22, 23 and 42).
const std::vector<ConsoleButton>& ConsoleButtons();

// Indexes whose command is built from a box: "MS:" (4), "WD:" (32-34),
// "PD:" (43), "AS:" (44); index 0 sends nothing (it only polls).
bool IsBuiltCommand(int index);

// The command of a button that needs no box ("" for the others).
QString FixedCommand(int index);

// The command that follows the button's own in the same press ("" if none):
// "CO" after "EP" (39), "EP" after "CI" (40), "PR" after "CI" (41), and "MR"
// after "MS:" (4) when msThenMr.
QString FollowUpCommand(int index, bool msThenMr);

// The command of a right-button release after its poll: "RSS" (2),
// "MS:d1" (4, followed by "MR"), "VS?" (21), "dt:1".."dt:3" (29-31); "" else.
QString RightButtonCommand(int index);

// The mode text of "MS:" from the box: characters below the space dropped.
// With the card kind on, the character after the first "B" becomes the card
// kind's code (the first character of cardKindText), or "B" and the code are
// appended when there is no "B". Nothing when the card kind is on and none is
// chosen.
std::optional<QString> MsModeText(const QString& box, bool cardKindOn, const QString& cardKindText);

// The page text of "PD:" from the box: SO, SI, LF, ESC and every character
// from the space up kept; CR and the other control characters dropped.
QString PdPageText(const QString& box);

// "WD:" n "/" data.
QString TrackDataCommand(int track, const QString& data);

}  // namespace quorel
