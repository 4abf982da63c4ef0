// The command console of the main window: the display reset, the fixed
// command buttons with their right-button variants, the free command box,
// the five stored custom commands, the DSR/CTS switches, the restart-wait
// switch, the option boxes of the write/read test and the port close button.
// It works on the window's controls by name and on the device channel
// through its host, so tests drive it without widgets and without a device.
#pragma once
#include <QString>
#include <cstdint>

namespace quorel {

class FormControls;

// What the console needs of its window and of the device channel.
class ConsoleHost {
 public:
  virtual ~ConsoleHost() = default;
  virtual void commIni() = 0;
  virtual void commClose() = 0;
  // Both wait while events run; afterwards gAppClosing may be 1.
  virtual void poll() = 0;
  virtual void comu() = 0;
  // Empties the communication log box.
  virtual void ClearLog() = 0;
};

class CommandConsole {
 public:
  CommandConsole(FormControls& ui, ConsoleHost& host);

  // Which display reset: the console's own (Form_Load, "DSPclear") empties
  // the custom command boxes too; other windows clear the displays only.
  enum class CustomCommands { kClear, kKeep };
  void labelInit(CustomCommands custom = CustomCommands::kClear);

  // Form_Load's settings steps: the DSR/CTS check marks, [Form] CenVolt,
  // PWETAutoChk with the custom commands, the card-kind boxes, the port
  // labels, RS_Mode and the fixed start values.
  void LoadSettings();
  void LoadStartValues();

  void Command1_Click(int index);
  // A mouse-button release on Command1(index); only the right button acts.
  void Command1_RightButtonUp(int index);
  void cmdKaishi_Click();
  void CmdCustomSend_Click(int index);
  void DSRcheckd_Click();
  void CTScheckd_Click();
  void ChkRSmode_Click();
  void ChkCOM2_Click();
  void Check3_Click();
  void Command54_Click() { labelInit(); }
  void CmdComClose_Click();

  // 1 while a maintenance or counter sequence runs (the maintenance buttons).
  int16_t bCmdBusy = 0;

 private:
  // gSendCommand = command, then comu; false when the program is closing.
  bool Send(const QString& command);
  // The port opened when closed and polled then; false when it stays closed
  // or the program is closing.
  bool OpenAndPoll();
  // The menu switch of DSR or CTS.
  void HandshakeSwitch(const QString& item, const QString& key, int16_t& flag);
  // The command of a button built from its boxes; nothing when the card
  // kind is missing (the box has been shown).
  bool BuildCommand(int index, QString* command);

  FormControls& ui_;
  ConsoleHost& host_;
};

}  // namespace quorel
