// UnloadAllForms and the program's own version marker.
#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QPointer>
#include <QWidget>

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace quorel
