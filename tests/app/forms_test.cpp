// UnloadAllForms, the program's own version marker and the system colours.
#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QLineEdit>
#include <QPalette>
#include <QPointer>
#include <QWidget>

#include <gtest/gtest.h>

#include "core/colour_values.h"
#include "core/startup.h"
#include "core/versions.h"

namespace quorel {
namespace {

class Stubborn : public QWidget {
 protected:
  void closeEvent(QCloseEvent* e) override { e->ignore(); }
};

TEST(Forms, UnloadAllFormsDestroysEveryWindowThatAgreesToClose) {
  QPointer<QWidget> plain = new QWidget;
  plain->show();
  QPointer<QWidget> hidden = new QWidget;  // loaded, never shown
  auto* stubborn = new Stubborn;
  stubborn->show();
  QPointer<QDialog> owned = new QDialog(plain);  // goes with its owner
  owned->show();
  UnloadAllForms();
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(plain.isNull());
  EXPECT_TRUE(hidden.isNull());
  EXPECT_TRUE(owned.isNull());
  EXPECT_TRUE(stubborn->isVisible());
  delete stubborn;
}

TEST(Forms, TheProgramCarriesItsVersion) {
  int32_t a = -1, b = -1, c = -1, d = -1;
  GetFileVersion(QStringLiteral(QUOREL_EXE), a, b, c, d);
  EXPECT_EQ(QStringLiteral("%1.%2.%3.%4").arg(a).arg(b).arg(c).arg(d), ProgramVersion());
  int32_t untouched = 42;
  GetFileVersion(QStringLiteral("/nonexistent/libvantor.so"), untouched, untouched, untouched, untouched);
  EXPECT_EQ(untouched, 42);
  EXPECT_EQ(LibraryVersionText(QStringLiteral("/nonexistent/libvantor.so")), QStringLiteral(" File Not Found !! "));
}

// Every system colour the platform numbers (0 to 0x18) is a colour of the
// palette the widget's class is given, never the low bytes read as RGB; a
// palette set for the class is followed.
TEST(Forms, SystemColoursComeFromTheWidgetsPalette) {
  QLineEdit box;
  const auto inPalette = [&box](const QColor& c) {
    const QPalette p = QApplication::palette(&box);
    for (int g = 0; g < QPalette::NColorGroups; ++g)
      for (int r = 0; r < QPalette::NColorRoles; ++r)
        if (p.color(static_cast<QPalette::ColorGroup>(g), static_cast<QPalette::ColorRole>(r)) == c) return true;
    return false;
  };
  for (uint32_t i = 0; i <= 0x18; ++i) EXPECT_TRUE(inPalette(ColorOfValue(kSystemColorFlag | i, &box))) << i;

  QPalette dark = QApplication::palette(&box);
  dark.setColor(QPalette::Base, QColor(30, 30, 40));
  dark.setColor(QPalette::Text, QColor(230, 230, 220));
  QApplication::setPalette(dark, "QLineEdit");
  EXPECT_EQ(ColorOfValue(kWindowBackground, &box), QColor(30, 30, 40));
  EXPECT_EQ(ColorOfValue(kWindowText, &box), QColor(230, 230, 220));
  QApplication::setPalette(QApplication::palette(), "QLineEdit");
  EXPECT_EQ(ColorOfValue(0x0080FF, &box), QColor(0xFF, 0x80, 0x00));  // an RGB value as it is
}

}  // namespace
}  // namespace quorel
