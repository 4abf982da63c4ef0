#include "eeprom/eep_frame.h"

#include "core/form_controls.h"
#include "core/main_shell.h"
#include "eeprom/eep_rows.h"
#include "eeprom/error_code_list.h"

namespace quorel::eep {
namespace {

constexpr Family kWordFamilies[] = {Family::kDastel, Family::kQuenby, Family::kFolsk};

void Call(const std::function<void(Family)>& f, Family family) {
  if (f) f(family);
}

}  // namespace

QString Named(const QString& base, Family f) { return base + QLatin1Char('_') + FamilyName(f); }

EepFrame::EepFrame(FormControls& ui, EepJobRunner& jobs) : ui_(ui), jobs_(jobs) {}

void EepFrame::ShowBusy(bool busy) {
  ui_.SetEnabled(QStringLiteral("SSTabEEP"), !busy);
  ui_.SetEnabled(QStringLiteral("EEPROMImport"), !busy);
  ui_.SetEnabled(QStringLiteral("EEPROMExport"), !busy);
}

ModelAnswer EepFrame::CheckFamily(EepJob& job, Family f) {
  std::function<void(const QString&)> show;
  if (f == Family::kMivor)
    show = [this](const QString& version) {
      ui_.SetText(QStringLiteral("lbStatus_Mivor"), 4, version);
      ui_.SetToolTip(QStringLiteral("lbStatus_Mivor"), 4, version);
    };
  return job.CheckModel(f, ModelCheck::kOtherHandlers, SkipModelCheck(f), show);
}

ModelAnswer EepFrame::CheckReportFamily(EepJob& job, Family f) {
  const int label = f == Family::kMivor ? 4 : 3;
  return job.CheckModel(f, ModelCheck::kReport, SkipModelCheck(f), [this, f, label](const QString& version) {
    ui_.SetText(Named(QStringLiteral("lbStatus"), f), label, version);
  });
}

void EepFrame::InformationRead(Family f) {
  jobs_.Run(kFullJob, [this, f](EepJob& job) {
    bool& skip = skip_[static_cast<size_t>(f)];
    skip = false;
    // The flag lives only as long as this read, whichever way it ends.
    struct ClearFlag {
      bool& flag;
      ~ClearFlag() { flag = false; }
    } clearFlag{skip};
    const ModelAnswer answer = job.CheckModel(f, ModelCheck::kInformationRead, false);
    if (answer == ModelAnswer::kCancelled) return;
    skip = answer == ModelAnswer::kAccepted;
    if (f == Family::kMivor)
      DisplayClear(0);
    else
      ClearOwnTab(f);
    if (job.ending()) return;
    Call(handlers_.counters, f);
    if (job.ending()) return;
    Call(handlers_.settings, f);
    if (job.ending()) return;
    ui_.SetValue(Named(QStringLiteral("OpEEPAllRdWr"), f), 0, 1);
    Call(handlers_.allRows, f);
  });
}

void EepFrame::ResetCommand(int /*index*/) {
  jobs_.Run(kResetJob, [](EepJob& job) { job.Send(QStringLiteral("RS")); });
}

void EepFrame::ResetMouseUp(int /*index*/, int button) {
  if (button != 2) return;
  jobs_.Run(kPortOnlyJob, [](EepJob& job) { job.Send(QStringLiteral("RSS")); });
}

void EepFrame::HeadLift(int index) {
  jobs_.Run(kFullJob, [index](EepJob& job) { job.Send(QStringLiteral("!!h") + QString::number(index)); });
}

void EepFrame::ClearRankMarks() {
  for (int i = 0; i <= 13; ++i) ui_.SetVisible(QStringLiteral("ShpTPHRank"), i, false);
  for (int i = 2; i <= 6; ++i) ui_.SetVisible(QStringLiteral("ShpErRank"), i, false);
  for (int i = 0; i <= 4; ++i) ui_.SetText(QStringLiteral("EEPSetLabel_Mivor"), i, QString());
  for (int i = 0; i <= 8; ++i) ui_.SetBackColor(QStringLiteral("EEPSetLabel_Mivor"), i, kButtonFace);
}

void EepFrame::ClearRows(Family f, int firstRow, int lastRow) {
  for (int r = firstRow; r <= lastRow; ++r) {
    ui_.SetText(Named(QStringLiteral("TxtEEPALL"), f), r, QString());
    ui_.SetToolTip(Named(QStringLiteral("TxtEEPALL"), f), r, QString());
    ui_.SetToolTip(Named(QStringLiteral("CmdEEPAd"), f), r, RowButtonTip(r));
  }
}

void EepFrame::DisplayClear(int index) {
  EepJobRunner::BusyScope busy(jobs_);
  ClearRankMarks();
  if (index >= 1 && index <= 3) {
    for (int i = 0; i < 3; ++i) {
      ui_.SetText(QStringLiteral("EEPkoumoku_Dastel"), i, QString());
      ui_.SetText(QStringLiteral("KaisuTxt_Dastel"), i, QString());
      ui_.SetText(QStringLiteral("PassDisp_Dastel"), i, QString());
    }
    for (Family f : kWordFamilies) {
      for (int i = 0; i <= 3; ++i) ui_.SetText(Named(QStringLiteral("lbStatus"), f), i, QString());
      ClearRows(f, 0, 3);
      for (int i = 0; i <= 4; ++i) {
        ui_.SetText(Named(QStringLiteral("EEPSetCmb"), f), i, QString());
        ui_.SetToolTip(Named(QStringLiteral("EEPSetCmb"), f), i, QString());
        ui_.SetText(Named(QStringLiteral("EEPSetLabel"), f), i, QString());
      }
    }
  } else if (index == 0) {
    ClearMivorTab();
    ui_.SetValue(QStringLiteral("ChkCSMsg"), 0);  // back to viewer mode
    ui_.SetText(QStringLiteral("TxtCSMsg"), QString());
  }
}

void EepFrame::ClearMivorTab() {
  ui_.SetText(QStringLiteral("EEPkoumoku_Mivor"), QString());
  ui_.SetText(QStringLiteral("KaisuTxt_Mivor"), QString());
  ui_.SetText(QStringLiteral("PassDisp_Mivor"), QString());
  for (int i = 0; i <= 6; ++i) ui_.SetText(QStringLiteral("lbStatus_Mivor"), i, QString());
  for (int i = 0; i <= 8; ++i) {
    ui_.SetText(QStringLiteral("EEPSetCmb_Mivor"), i, QString());
    ui_.SetText(QStringLiteral("EEPSetLabel_Mivor"), i, QString());
  }
  ClearRows(Family::kMivor, 0, 15);
}

void EepFrame::ClearOwnTab(Family f) {
  const int i = SharedIndex(f);
  ui_.SetText(QStringLiteral("EEPkoumoku_Dastel"), i, QString());
  ui_.SetText(QStringLiteral("KaisuTxt_Dastel"), i, QString());
  ui_.SetText(QStringLiteral("PassDisp_Dastel"), i, QString());
  for (int s = 0; s <= 5; ++s) ui_.SetText(Named(QStringLiteral("lbStatus"), f), s, QString());
  ClearRows(f, 0, RowCount(f) - 1);
  for (int s = 0; s <= 4; ++s) {
    ui_.SetText(Named(QStringLiteral("EEPSetCmb"), f), s, QString());
    ui_.SetToolTip(Named(QStringLiteral("EEPSetCmb"), f), s, QString());
    ui_.SetText(Named(QStringLiteral("EEPSetLabel"), f), s, QString());
  }
}

void EepFrame::EmptyDisplays() {
  ClearMivorTab();
  for (Family f : kWordFamilies) ClearOwnTab(f);
  ui_.SetText(QStringLiteral("LbTxt"), 19, QStringLiteral("TPH\r\n昇降補正"));
  ui_.SetText(QStringLiteral("LbTxt"), 20, QStringLiteral("Erase\r\n昇降補正"));
  for (int i = 0; i < 3; ++i) ui_.SetText(QStringLiteral("CmdRS"), i, QStringLiteral("RS\r\n(CR再起動)"));
}

void EepFrame::CounterKeyPress(Family f, int key) {
  if (key == 13) Call(handlers_.counterWrite, f);
}

void EepFrame::AdminModeClick() { quorel::AdminModeClick(ui_); }

void EepFrame::ErrorCodeClick() {
  ui_.SetText(QStringLiteral("LbErrorCode"), ErrorCodeList(ErrorCodeGroupOf(ui_.Text(QStringLiteral("CmbErrorCode")))));
}

}  // namespace quorel::eep
