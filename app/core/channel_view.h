// What the device channel shows: the main window's status labels, send box,
// parameter and reply displays, the communication log box and the RAM-clear
// progress of the test bench. The window implements it; tests record it, so
// the channel runs without the console.
#pragma once
#include <QString>
#include <QStringList>
#include <cstdint>

#include "core/reply_decoders.h"

namespace quorel {

class ChannelView {
 public:
  virtual ~ChannelView() = default;

  // A caption, text, tool tip or list selection of a named control ("Label25",
  // "TxtDTtr" index 2). Setting a value runs the control's change handler,
  // as the user's action would (Label25's repaints the lamp).
  virtual void Apply(const ControlUpdate& update) = 0;
  // The caption or text a control shows now.
  virtual QString CurrentText(const QString& control) const = 0;
  // Colours as &HBBGGRR values.
  virtual void SetBackColor(const QString& control, uint32_t bgr) = 0;
  virtual void SetForeColor(const QString& control, uint32_t bgr) = 0;
  // The log box: the whole text and the tool tip of the newest entry.
  virtual void ShowLog(const QString& text, const QString& toolTip) = 0;
  // The test bench's RAM-clear displays (the window is created when it does
  // not exist yet): LbWatch, LbRAMPercent and the progress bar (0..100).
  virtual void ShowRamClearProgress(const QString& watch, const QString& percent, float value) = 0;
  // Stops the main window's Timer2 and Timer3 (closing the port does).
  virtual void StopSideTimers() = 0;

  // Window settings the reply decoders read.
  virtual bool SensorRef33() const = 0;       // OpSenV(0) "3.3V" selected
  virtual bool CardKindFromMode() const = 0;  // ChkCardKind(1) ticked
  virtual QStringList CardKinds() const = 0;  // the entries of CmbKdKind
  virtual QString CardKindText() const = 0;   // the text CmbKdKind shows
};

}  // namespace quorel
