// The main window. It owns the device channel and the console once they are
// built; for now it is the shell that start-up shows and whose closing ends
// the program.
#pragma once
#include <QMainWindow>

namespace quorel {

class MainForm : public QMainWindow {
  Q_OBJECT

 public:
  explicit MainForm(QWidget* parent = nullptr);

 protected:
  void closeEvent(QCloseEvent* event) override;
};

}  // namespace quorel
