// The Qt dialog host: closing a box answers as the box's cancel, buttons map
// to their answers, the masked input hides what is typed; and the scripted
// host fails on boxes it does not expect.
#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QTimer>

#include <gtest/gtest.h>
#include <gtest/gtest-spi.h>

#include "core/dialogs.h"
#include "core/qt_dialog_host.h"
#include "support/scripted_dialogs.h"

namespace quorel {
namespace {

using testing::OnModal;

BoxAnswer ClosedBox(BoxButtons buttons) {
  OnModal([](QWidget* w) { w->close(); });
  QtDialogHost host;
  return host.Box({QStringLiteral("text"), buttons, BoxIcon::kQuestion, QStringLiteral("title")});
}

TEST(QtDialogs, ClosingABoxCountsAsItsCancel) {
  EXPECT_EQ(ClosedBox(BoxButtons::kOk), BoxAnswer::kOk);
  EXPECT_EQ(ClosedBox(BoxButtons::kOkCancel), BoxAnswer::kCancel);
  EXPECT_EQ(ClosedBox(BoxButtons::kRetryCancel), BoxAnswer::kCancel);
  EXPECT_EQ(ClosedBox(BoxButtons::kYesNo), BoxAnswer::kNo);
  EXPECT_EQ(CloseAnswer(BoxButtons::kAbortRetryIgnore), BoxAnswer::kAbort);
}

// Enter presses the default button that the box's style names, counted in
// the box's own button order; a style naming a button the box lacks falls
// back to the first.
TEST(QtDialogs, EnterPressesTheDefaultButtonOfTheStyle) {
  struct Case {
    BoxButtons buttons;
    BoxDefault defaultButton;
    BoxAnswer enter;
  };
  const Case cases[] = {
      {BoxButtons::kOk, BoxDefault::kFirst, BoxAnswer::kOk},
      {BoxButtons::kOk, BoxDefault::kSecond, BoxAnswer::kOk},
      {BoxButtons::kOkCancel, BoxDefault::kFirst, BoxAnswer::kOk},
      {BoxButtons::kOkCancel, BoxDefault::kSecond, BoxAnswer::kCancel},
      {BoxButtons::kRetryCancel, BoxDefault::kSecond, BoxAnswer::kCancel},
      {BoxButtons::kYesNo, BoxDefault::kSecond, BoxAnswer::kNo},
      {BoxButtons::kAbortRetryIgnore, BoxDefault::kSecond, BoxAnswer::kRetry},
      {BoxButtons::kAbortRetryIgnore, BoxDefault::kThird, BoxAnswer::kIgnore},
      {BoxButtons::kYesNoCancel, BoxDefault::kThird, BoxAnswer::kCancel},
      {BoxButtons::kYesNoCancel, BoxDefault::kFourth, BoxAnswer::kYes},
  };
  QtDialogHost host;
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.buttons) * 1000 + static_cast<int>(c.defaultButton));
    EXPECT_EQ(DefaultAnswer(c.buttons, c.defaultButton), c.enter);
    OnModal([](QWidget* w) {
      QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
      QCoreApplication::sendEvent(w, &enter);
    });
    EXPECT_EQ(host.Box({QStringLiteral("text"), c.buttons, BoxIcon::kExclamation, QStringLiteral("title"),
                        c.defaultButton}),
              c.enter);
  }
}

TEST(QtDialogs, ButtonsGiveTheirAnswersAndBoxesShowTheirTexts) {
  QString title, text;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  OnModal([&](QWidget* w) {
    auto* box = qobject_cast<QMessageBox*>(w);
    ASSERT_NE(box, nullptr);
    title = box->windowTitle();
    text = box->text();
    icon = box->icon();
    box->button(QMessageBox::Ignore)->click();
  });
  QtDialogHost host;
  SetDialogHost(&host);
  EXPECT_EQ(MsgBox(QStringLiteral("line lost"), BoxButtons::kAbortRetryIgnore, BoxIcon::kCritical), BoxAnswer::kIgnore);
  SetDialogHost(nullptr);
  EXPECT_EQ(title, QStringLiteral("Quorel"));  // no caption: the program title
  EXPECT_EQ(text, QStringLiteral("line lost"));
  EXPECT_EQ(icon, QMessageBox::Critical);
}

TEST(QtDialogs, MaskedInputHidesWhatIsTyped) {
  QLineEdit::EchoMode mode = QLineEdit::Normal;
  OnModal([&](QWidget* w) {
    auto* edit = w->findChild<QLineEdit*>();
    ASSERT_NE(edit, nullptr);
    mode = edit->echoMode();
    edit->setText(QStringLiteral("58203"));
    qobject_cast<QDialog*>(w)->accept();
  });
  QtDialogHost host;
  EXPECT_EQ(host.Input({QStringLiteral("Password"), QStringLiteral("Menu"), QString(), true}),
            std::optional<QString>(QStringLiteral("58203")));
  EXPECT_EQ(mode, QLineEdit::Password);
  OnModal([](QWidget* w) { w->close(); });
  EXPECT_EQ(host.Input({QStringLiteral("Name"), QStringLiteral("t"), QStringLiteral("x"), false}), std::nullopt);
}

TEST(ScriptedDialogs, RecordsEveryBoxAndAnswersFromTheScript) {
  testing::ScriptedDialogs dialogs;
  dialogs.ExpectBox(QStringLiteral("Error"), QStringLiteral("retry?"), BoxAnswer::kRetry);
  dialogs.ExpectInput(QStringLiteral("Password"), QStringLiteral("1"));
  EXPECT_EQ(MsgBox(QStringLiteral("retry?"), BoxButtons::kRetryCancel, BoxIcon::kExclamation, QStringLiteral("Error")),
            BoxAnswer::kRetry);
  EXPECT_EQ(Dialogs().Input({QStringLiteral("p"), QStringLiteral("Password"), QString(), true}),
            std::optional<QString>(QStringLiteral("1")));
  ASSERT_EQ(dialogs.recorded().size(), 2u);
  EXPECT_EQ(dialogs.recorded()[0].icon, BoxIcon::kExclamation);
  EXPECT_EQ(dialogs.recorded()[0].buttons, BoxButtons::kRetryCancel);
}

TEST(ScriptedDialogs, AnUnexpectedBoxFailsTheTest) {
  EXPECT_NONFATAL_FAILURE(
      {
        testing::ScriptedDialogs dialogs;
        EXPECT_EQ(MsgBox(QStringLiteral("surprise"), BoxButtons::kOkCancel), BoxAnswer::kCancel);
      },
      "unexpected message box");
  EXPECT_NONFATAL_FAILURE(
      {
        testing::ScriptedDialogs dialogs;
        dialogs.ExpectBox(QStringLiteral("t"), QStringLiteral("never"), BoxAnswer::kOk);
      },
      "never shown");
}

}  // namespace
}  // namespace quorel
