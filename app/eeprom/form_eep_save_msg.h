// FormEEPSaveMsg, "EEP_Save_Message": the modal prompt before a device
// report. OK (or Enter in the serial box) keeps the serial without control
// characters and the separator ("," with the CSV box ticked, else ":") and
// answers go on; Cancel answers -1 and keeps both; the close box sets
// nothing, so the report goes on with the empty serial.
#pragma once
#include <QDialog>

class QCheckBox;
class QLineEdit;

namespace quorel::eep {

class FormEEPSaveMsg : public QDialog {
  Q_OBJECT

 public:
  explicit FormEEPSaveMsg(QWidget* parent = nullptr);

  // OKEEPSaveMsg_Click: 0 OK, anything else Cancel.
  void OkClick(int index);

  // Shows the prompt modally (through the dialog helper).
  static void Ask();

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  QCheckBox* csv_ = nullptr;
  QLineEdit* serial_ = nullptr;
};

}  // namespace quorel::eep
