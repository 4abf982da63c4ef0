// The customer-message controls shared by the EEPROM window and the
// message window: viewer/editor mode, the digit count with its limit, and
// the message write and read over rows 9 to 11, each window keeping the
// other's message box and row boxes current.
//
// Controls by name: ChkCSMsg, TxtCSMsg, LbCSMsg, CmdCSMsgW and the row boxes
// TxtEEPALL_Mivor(9..11).
#pragma once
#include <QString>
#include <array>
#include <functional>
#include <optional>

#include "eeprom/customer_message.h"
#include "eeprom/eep_job.h"

namespace quorel {
class FormControls;
}

namespace quorel::eep {

class CustomerMessagePanel {
 public:
  // How the two windows' message actions differ.
  struct Side {
    JobSteps steps;  // the EEPROM window runs during the restart wait, the message window not
    // "VS" and the Mivor model check; kCancelled ends the action.
    std::function<ModelAnswer(EepJob&)> checkModel;
    bool readEmptiesOwnText = false;  // the EEPROM window empties its box before a read
    bool writeEmptiesPeerText = false;  // the EEPROM window empties the other's box before a write
  };

  CustomerMessagePanel(FormControls& ui, EepJobRunner& jobs, Side side);

  // The other window's controls while it is open and visible, else nullptr.
  void SetPeer(std::function<FormControls*()> peer) { peer_ = std::move(peer); }
  // The other window for the end of a read: created (hidden) when it does
  // not exist yet; nullptr when it is not to be updated.
  void SetPeerAfterRead(std::function<FormControls*()> peer) { peerAfterRead_ = std::move(peer); }

  // How the window makes its message box read-only (viewer) or editable;
  // without one the box is disabled in viewer mode.
  void SetEditableHook(std::function<void(bool)> hook) { setEditable_ = std::move(hook); }

  // ChkCSMsg_Click: the mode follows the check box.
  void ModeClick();
  // The window opens in viewer mode; the check box keeps its opening
  // caption ("Service Message Viewer") until the mode is first switched.
  void OpenInViewerMode();
  // TxtCSMsg_Change: the count label and tool tip; the overflow box when
  // the message is over 192 digits.
  void TextChange();
  // TxtCSMsg_LostFocus: the count again, and after an overflow box the focus
  // back to the message box. A focus change that this check itself causes
  // (its box, giving the focus back) starts no second check.
  void LostFocus();
  // CmdCSMsgW_Click: "Wrire" writes, any other caption reads.
  void WriteOrRead();
  void Write();
  void Read();
  // The message window's row buttons: a click reads the row (nothing during
  // the restart wait), a right-button release writes the row box's text as
  // it stands (no read-back). Neither decodes nor touches the other window.
  void RowRead(int row);
  void RowWrite(int row);
  // Viewer mode, empty message and rows (the message window's Clear).
  void Clear();

  // Rows 9 to 11 of every successful read since the last emptying, for a
  // reader that refills the message box from its own row reads.
  static QString DecodeRowBoxes(const FormControls& ui);

 private:
  // Shows a row's reply in the row box (and the peer's on success); the
  // row's data when the reply begins "Aee90".
  std::optional<QString> ShowRow(int row, const QString& reply);
  void EmptyRows(FormControls& ui);
  bool CheckCount();
  // The message box, its button and their colours for the mode.
  void ShowMode(bool editor);
  FormControls* Peer() const { return peer_ ? peer_() : nullptr; }

  FormControls& ui_;
  EepJobRunner& jobs_;
  Side side_;
  std::function<FormControls*()> peer_;
  std::function<FormControls*()> peerAfterRead_;
  std::function<void(bool)> setEditable_;
  bool checking_ = false;
};

// The Side of each window.
CustomerMessagePanel::Side EepWindowSide(std::function<ModelAnswer(EepJob&)> checkFamily);
CustomerMessagePanel::Side MessageWindowSide();

}  // namespace quorel::eep
