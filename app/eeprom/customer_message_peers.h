// Where the EEPROM window and the message window find each other to keep
// one another's message box and rows 9 to 11 current. Each window enters
// itself while it exists; the message window's loader (the window
// registry's) lets the EEPROM window create it hidden at the end of a read.
#pragma once
#include <QWidget>
#include <functional>

namespace quorel {
class FormControls;
}

namespace quorel::eep {

class MessagePeers {
 public:
  static void SetEepWindow(QWidget* window, FormControls* controls);
  static void SetMessageWindow(QWidget* window, FormControls* controls);
  static void SetMessageLoader(std::function<QWidget*()> load);
  // A window that goes away withdraws itself (only if it is the one entered).
  static void Withdraw(QWidget* window);

  // The window's controls while it exists and is visible, else nullptr.
  static FormControls* VisibleEep();
  static FormControls* VisibleMessage();
  // The message window's controls, loading it hidden when it does not
  // exist; nullptr without a loader.
  static FormControls* LoadedMessage();
};

}  // namespace quorel::eep
