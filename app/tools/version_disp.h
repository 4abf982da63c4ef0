// The about window: a picture, the program's version information and an OK
// button. Any key, the button or another window becoming active hides it;
// it stays loaded, so the next "Version(&V)" only shows it again. The third
// and every later double-click on the picture of the run asks for the menu
// password (unless administrator mode is on); the right one shows the main
// window's administrator menus.
#pragma once
#include <QString>
#include <QWidget>

class QLabel;
class QLineEdit;
class QPushButton;

namespace quorel {

// The four texts of the about window.
struct AboutTexts {
  QString fileDescription;  // Text1
  QString titleAndVersion;  // Text2: title "　Version " major.minor.revision
  QString comments;         // Text3 ("" when the program has none)
  QString legalNotice;      // Text4
};
AboutTexts ProgramAboutTexts();

// The administrator way in behind the picture: counts the double-click and
// asks the password when it must; true when the administrator menus were shown.
bool VersionPictureDoubleClick();

class VersionDisp : public QWidget {
 public:
  VersionDisp();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  void ImageVersion_DblClick();
  void FillTexts();

  QLabel* image_;
  QPushButton* ok_;
  bool asking_ = false;  // its own password prompt does not hide it
};

}  // namespace quorel
