// The EMC window: 5000 "H" in a narrow font, and the box always fills it.
#include <QCoreApplication>
#include <QPlainTextEdit>
#include <QPointer>

#include <gtest/gtest.h>

#include "tools/form_emc.h"

namespace quorel {
namespace {

TEST(FormEmc, HoldsFiveThousandHAndFollowsTheWindowSize) {
  QPointer<FormEMC> form = new FormEMC;
  EXPECT_EQ(form->windowTitle(), QStringLiteral("EMC Test"));
  auto* text = form->findChild<QPlainTextEdit*>(QStringLiteral("Text1"));
  ASSERT_TRUE(text);
  EXPECT_EQ(text->toPlainText(), QString(5000, QLatin1Char('H')));
  EXPECT_EQ(text->font().family(), QStringLiteral("Arial Narrow"));
  EXPECT_EQ(text->pos(), QPoint(0, 0));
  form->resize(300, 200);
  form->show();
  EXPECT_EQ(text->size(), QSize(300, 200));
  form->resize(640, 90);
  EXPECT_EQ(text->size(), form->size());
  form->close();  // deletes itself
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(form.isNull());
}

}  // namespace
}  // namespace quorel
