// What a device reply changes on the main window and in the shared state.
//
// The decoders are pure: they read the command text, the reply text and a
// context (the shared state as it is now plus the few window settings they
// depend on) and return the updates. The channel applies them: control
// updates through its view, state changes with ApplyStateChanges. So every
// decode is testable without a window and without a device.
//
// Reply positions count characters from 1: kind at 1, echoed code at 2-3,
// end code at 4-5, data from 6.
#pragma once
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

#include "core/main_module.h"

namespace quorel {

// Which property of a control an update sets.
enum class DisplayProperty {
  kCaption,    // a label's caption
  kText,       // a text box's text
  kToolTip,    // the control's tool-tip text
  kListIndex,  // a list's selected entry (listIndex); selecting runs its handler
};

struct ControlUpdate {
  QString control;  // the main window's control name: "LbCT", "TxtDTtr", ...
  int index = -1;   // element of a control array; -1 for a single control
  DisplayProperty property = DisplayProperty::kCaption;
  QString text;        // caption, text or tool tip
  int listIndex = -1;  // for kListIndex only

  bool operator==(const ControlUpdate& o) const {
    return control == o.control && index == o.index && property == o.property && text == o.text &&
           listIndex == o.listIndex;
  }
};

// Shared-state values a reply sets; an empty optional keeps the value.
struct StateChanges {
  std::optional<QString> gVersionText;
  std::optional<QString> gReText;
  std::optional<QString> gThTphRank, gThTphTemp, gThPw1, gThPw2;
  std::optional<QString> gThErRank, gThErLot, gThErTemp, gThBoardTemp;

  bool empty() const;
};

struct DisplayUpdates {
  std::vector<ControlUpdate> controls;  // in the order they are to be applied
  StateChanges state;

  bool empty() const { return controls.empty() && state.empty(); }
  // The last update of that control element and property, or nullptr.
  const ControlUpdate* find(const QString& control, int index, DisplayProperty property) const;
};

// What the decoders read besides the command and the reply.
struct DecodeContext {
  explicit DecodeContext(const MainModule& shared) : state(shared) {}

  // gVersionText (model family), the TH fields a short "TH" reply keeps, and
  // the message tables of the head lines.
  const MainModule& state;
  bool sensorRef33 = false;       // OpSenV(0) "3.3V" is selected (else 5 V)
  bool cardKindFromMode = false;  // ChkCardKind(1) is ticked
  QStringList cardKinds;          // the entries of CmbKdKind, in list order
  QString cardKindText;           // the text CmbKdKind shows now
};

// The decoding of a reply by the command code (the first two characters of
// the command, case-sensitive): "CT", "ST", "VS", "MR", "RC", "DT"/"dt",
// "CK", "RE", "TH", "!!". Any other code gives no updates. The caller skips
// the call for a kind "E" reply.
DisplayUpdates DecodeReply(const QString& commandText, const QString& replyText, const DecodeContext& context);

// The parameter displays written before a command is sent: "MS" (TxtMDData),
// "WD" (txtWd(n), only for track digits 1 to 3), "PD" (TxtPDData with
// control characters as macro words). Any other code gives no updates.
DisplayUpdates ParameterDisplays(const QString& commandText);

// The head-data display of the console's "TH" button, which shows and stores
// a "TH" reply whatever its end code: fewer than 6 characters show the whole
// reply in LbTH(0); otherwise the fields, TxtPWETSend(3) and both LbTH lines.
DisplayUpdates HeadDataDisplay(const QString& replyText, const DecodeContext& context);

// Writes the values the changes carry into the shared state.
void ApplyStateChanges(const StateChanges& changes, MainModule& state);

}  // namespace quorel
