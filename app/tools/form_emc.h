// The window "EMC Test" that the write/read test shows while it runs with
// "EMC" ticked: one text box of 5000 "H" in a narrow font that fills the
// window, a dense pattern on the screen beside the device.
#pragma once
#include <QWidget>

class QPlainTextEdit;

namespace quorel {

class FormEMC : public QWidget {
 public:
  explicit FormEMC(QWidget* parent = nullptr);

  static constexpr int kLetters = 5000;

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  QPlainTextEdit* text1_;
};

}  // namespace quorel
