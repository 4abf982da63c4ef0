// The EEPROM window's own handlers, written against its controls by name so
// they run on the widgets and, in tests, on a plain table: the information
// read of each tab, the reset command, the head lift, the display clear,
// the administrator box, the status-code list, the busy display and the
// window-level state the other panels share (the model-check flags and the
// report text).
//
// The panels built on this frame (row grid, counters, settings, report,
// data files, customer message) plug their handlers into Handlers; the
// information read calls the readers in order, each running its own job
// inside.
//
// Control conventions of the window: rank markers (ShpTPHRank 0..13,
// ShpErRank 2..6) are on when visible; an option button or check box is
// set when its value is 1.
#pragma once
#include <QString>
#include <array>
#include <functional>

#include "eeprom/eep_family.h"
#include "eeprom/eep_job.h"

namespace quorel {
class FormControls;
}

namespace quorel::eep {

// A family's control name: base + "_" + family name ("TxtEEPALL_Quenby").
QString Named(const QString& base, Family f);

class EepFrame {
 public:
  // The handlers of the panels built on this frame; an empty one does
  // nothing. The information read calls the three readers in order.
  struct Handlers {
    std::function<void(Family)> counters;      // reads and lists the tab's counters
    std::function<void(Family)> settings;      // reads and shows the tab's settings
    std::function<void(Family)> allRows;       // the tab's all-rows button
    std::function<void(Family)> counterWrite;  // writes one counter (also Enter in the value box)
    std::function<void()> importFile;          // File > Import, on the selected tab
    std::function<void()> exportFile;          // File > Export, on the selected tab
  };

  EepFrame(FormControls& ui, EepJobRunner& jobs);

  Handlers& handlers() { return handlers_; }
  FormControls& ui() { return ui_; }
  EepJobRunner& jobs() { return jobs_; }

  // True while the family's information read runs after the user accepted
  // a model mismatch: the handlers it calls ask no model question of their
  // own.
  bool SkipModelCheck(Family f) const { return skip_[static_cast<size_t>(f)]; }
  // The device report being collected.
  QString& reportBuffer() { return reportBuffer_; }

  // "VS" and the model check of a handler other than the information read:
  // the family's rule for such handlers, and no question while the family's
  // information read holds its flag; a Mivor handler first shows the version
  // in lbStatus_Mivor(4), caption and tool tip. kCancelled ends the handler.
  ModelAnswer CheckFamily(EepJob& job, Family f);
  // The same for the device report: the report's rule, the version shown in
  // the family's status label (lbStatus_Mivor(4), else lbStatus_<F>(3)).
  ModelAnswer CheckReportFamily(EepJob& job, Family f);

  // The busy state as the window shows it.
  void ShowBusy(bool busy);

  // The tab's "一括情報取得": model check, display clear, counters,
  // settings, all rows.
  void InformationRead(Family f);
  // CmdRS(index) click: "RS" (no preamble). Right-button release: "RSS"
  // with the port check alone, even during the restart wait.
  void ResetCommand(int index);
  void ResetMouseUp(int index, int button);
  // CmdUpDown(index): "!!h" + index (0 under, 1 top, 2 middle).
  void HeadLift(int index);
  // CmdDispClear(index): 0 clears the Mivor tab, 1 to 3 the three other
  // tabs at once; every index clears the Mivor rank marks.
  void DisplayClear(int index);
  // The Mivor tab's texts, settings and rows.
  void ClearMivorTab();
  // The own displays of a Dastel, Quenby or Folsk tab (its information
  // read starts with this).
  void ClearOwnTab(Family f);
  // What the window empties when it opens.
  void EmptyDisplays();
  // Enter (13) in the counter value box writes that counter.
  void CounterKeyPress(Family f, int key);
  // ChkAdminiMode: the administrator marker written or withdrawn.
  void AdminModeClick();
  // CmbErrorCode: the list of the chosen group into LbErrorCode.
  void ErrorCodeClick();

 private:
  void ClearRankMarks();
  void ClearRows(Family f, int firstRow, int lastRow);

  FormControls& ui_;
  EepJobRunner& jobs_;
  Handlers handlers_;
  std::array<bool, kFamilyCount> skip_{};
  QString reportBuffer_;
};

}  // namespace quorel::eep
