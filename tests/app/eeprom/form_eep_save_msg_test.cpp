// The report prompt offscreen: OK and Enter keep the serial without control
// characters and the separator; Cancel answers -1 and keeps both; the close
// box sets nothing.
#include "eeprom/form_eep_save_msg.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <memory>

#include "core/main_module.h"

namespace quorel::eep {
namespace {

class SavePrompt : public ::testing::Test {
 protected:
  void SetUp() override {
    mm() = MainModule{};
    mm().gReportSerial = QStringLiteral("stale");
    prompt_ = std::make_unique<FormEEPSaveMsg>();
  }
  QLineEdit* Serial() { return prompt_->findChild<QLineEdit*>(QStringLiteral("TxtEEPSaveMsg")); }
  QCheckBox* Csv() { return prompt_->findChild<QCheckBox*>(QStringLiteral("ChEEPSaveCSV")); }
  QPushButton* Button(int i) { return prompt_->findChild<QPushButton*>(QStringLiteral("OKEEPSaveMsg_%1").arg(i)); }

  std::unique_ptr<FormEEPSaveMsg> prompt_;
};

TEST_F(SavePrompt, LoadsEmptyWithItsTexts) {
  EXPECT_EQ(prompt_->windowTitle(), QStringLiteral("EEP_Save_Message"));
  EXPECT_EQ(mm().gReportSerial, QString());
  EXPECT_EQ(Serial()->text(), QString());
  EXPECT_FALSE(Csv()->isChecked());
  EXPECT_EQ(prompt_->findChild<QLabel*>(QStringLiteral("LbEEPSaveMsg"))->text(),
            QStringLiteral("製品のシリアルNo.を入力してください\n(必要のないときはOK又はEnterで進んでください)"));
  EXPECT_EQ(Button(1)->text(), QStringLiteral("Cancel"));
}

TEST_F(SavePrompt, OkKeepsTheSerialWithoutControlCharacters) {
  Serial()->setText(QStringLiteral("A\tB 1\r"));
  Csv()->setChecked(true);
  Button(0)->click();
  EXPECT_EQ(mm().gReportSerial, QStringLiteral("AB 1"));
  EXPECT_EQ(mm().gReportSeparator, QStringLiteral(","));
  EXPECT_EQ(mm().gReportPromptResult, 0);
  EXPECT_EQ(prompt_->result(), QDialog::Accepted);
}

TEST_F(SavePrompt, EnterInTheSerialBoxIsOk) {
  prompt_->show();
  Serial()->setFocus();
  Serial()->setText(QStringLiteral("X9"));
  QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
  QCoreApplication::sendEvent(Serial(), &enter);
  EXPECT_EQ(mm().gReportSerial, QStringLiteral("X9"));
  EXPECT_EQ(mm().gReportSeparator, QStringLiteral(":"));
}

TEST_F(SavePrompt, CancelAndCloseBox) {
  mm().gReportSeparator = QStringLiteral(",");
  Serial()->setText(QStringLiteral("typed"));
  Button(1)->click();
  EXPECT_EQ(mm().gReportPromptResult, -1);
  EXPECT_EQ(mm().gReportSerial, QString());
  EXPECT_EQ(mm().gReportSeparator, QStringLiteral(","));
  mm().gReportPromptResult = 0;
  FormEEPSaveMsg second;
  second.show();
  second.close();
  EXPECT_EQ(mm().gReportPromptResult, 0);
  EXPECT_EQ(mm().gReportSerial, QString());
}

}  // namespace
}  // namespace quorel::eep
