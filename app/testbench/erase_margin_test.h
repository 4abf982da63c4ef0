// The erase-margin job of the bench's first tab (button CmdEraseMargin):
// kind by kind, three prints on one card at erase rank R-1, R+1 and R, each
// judged by the operator. The device's erase rank is put back to R on every
// way out once a shifted rank has been sent.
#pragma once
#include <QChar>
#include <QString>
#include <functional>

#include "testbench/erase_margin_print.h"

namespace quorel {

class FormControls;
class JobHost;
struct BenchJobState;

class EraseMarginTest {
 public:
  static const QString kIdle, kRunning;

  // settingsRead: the bench's settings readout (it sends "TH" and so
  // refreshes gThErRank); caption: the window's title.
  EraseMarginTest(FormControls& ui, JobHost& host, BenchJobState& state, std::function<void()> settingsRead,
                  std::function<void(const QString&)> caption);
  // CmdEraseMargin_Click.
  void Click();
  // Tests shorten the closing pauses (1 = as the operator sees them).
  void SetPauseScale(double scale) { pauseScale_ = scale; }

 private:
  enum class End { kOk, kNg, kAbort };
  End Run(bool automatic, QChar kind);
  End RunKind(QChar kind);
  End Print(MarginPrint print, QChar kind);
  bool Aborted() const;
  void SendPage(MarginPrint print);
  void RestoreRank();
  void Message(uint32_t color, const QString& text);
  void CommonEnding();
  void Pause(double seconds);

  FormControls& ui_;
  JobHost& host_;
  BenchJobState& state_;
  std::function<void()> settingsRead_;
  std::function<void(const QString&)> caption_;
  double pauseScale_ = 1.0;
  int rank_ = 0;
  QString rankText_;
  bool shifted_ = false;  // the device holds a rank other than R
};

}  // namespace quorel
