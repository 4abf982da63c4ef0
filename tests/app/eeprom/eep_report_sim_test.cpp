// The device report from the EEPROM window on the real library and the
// in-process simulator on COM3: a Mivor report with ":" and a Dastel report
// with "," byte-equal to their golden files, and the traffic of a
// cancelled prompt.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QCheckBox>
#include <QDialog>
#include <QFile>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>

#include "channel/sim_channel_fixture.h"
#include "eeprom/form_eep.h"

namespace quorel::eep {
namespace {

QByteArray ReadAll(const QString& path) {
  QFile f(path);
  EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << path.toStdString();
  return f.readAll();
}

class ReportOnSimulator : public testing::SimChannelTest {
 protected:
  void TearDown() override {
    delete eep_.data();
    SimChannelTest::TearDown();
  }
  FormEEP& Eep() {
    if (!eep_) eep_ = new FormEEP(channel_);
    return *eep_;
  }
  // The prompt answered: serial typed, CSV box as given, then OK (index 0)
  // or Cancel (1).
  void Prompt(const QString& serial, bool csv, int button) {
    dialogs_.ExpectModal(QStringLiteral("FormEEPSaveMsg"), [=](QDialog& d) {
      d.findChild<QLineEdit*>(QStringLiteral("TxtEEPSaveMsg"))->setText(serial);
      d.findChild<QCheckBox*>(QStringLiteral("ChEEPSaveCSV"))->setChecked(csv);
      d.findChild<QPushButton*>(QStringLiteral("OKEEPSaveMsg_%1").arg(button))->click();
      return d.result();
    });
  }
  void Click(const QString& name, int index = -1) {
    auto* b = Eep().findChild<QAbstractButton*>(ControlKey(name, index));
    ASSERT_NE(nullptr, b);
    b->click();
  }

  QPointer<FormEEP> eep_;
};

TEST_F(ReportOnSimulator, MivorTextReportMatchesItsGoldenFile) {
  Control("model mivor");
  Control("eeprom family mivor");
  const QString path = dir_.file(QStringLiteral("work/SN-0001.txt"));
  Prompt(QStringLiteral("SN-0001\t"), false, 0);
  dialogs_.ExpectSaveFile(path);
  Click(QStringLiteral("EEPSave_Mivor"));
  EXPECT_EQ(dialogs_.pending(), 0u);
  EXPECT_EQ(ReadAll(path), ReadAll(QStringLiteral(QUOREL_GOLDEN_DIR "/report_mivor.txt")));
  EXPECT_EQ(mm().gReportMode, 0);
}

TEST_F(ReportOnSimulator, DastelCsvReportMatchesItsGoldenFile) {
  Control("model dastel");
  Control("eeprom family dastel");
  Eep().tabStrip()->setCurrentIndex(1);
  const QString path = dir_.file(QStringLiteral("work/D-7.csv"));
  Prompt(QStringLiteral("D-7"), true, 0);
  dialogs_.ExpectSaveFile(path);
  Click(QStringLiteral("EEPSave_Dastel"), 0);
  EXPECT_EQ(dialogs_.pending(), 0u);
  EXPECT_EQ(ReadAll(path), ReadAll(QStringLiteral(QUOREL_GOLDEN_DIR "/report_dastel.csv")));
}

TEST_F(ReportOnSimulator, CancelledPromptSendsOnlyTheVersionRequest) {
  Control("model mivor");
  Prompt(QStringLiteral("x"), false, 1);
  Click(QStringLiteral("EEPSave_Mivor"));
  EXPECT_EQ(Sent("VS"), 1);
  EXPECT_EQ(Sent("MR"), 0);
  EXPECT_EQ(dialogs_.pending(), 0u);
}

}  // namespace
}  // namespace quorel::eep
