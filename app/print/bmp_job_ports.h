// What the bitmap window's download and card jobs need of their
// surroundings, as interfaces: the device channel (BmpJobLine) and the
// window's displays, events and picture (BmpJobView). The window hands in
// adapters over its widgets and the main window's channel; tests hand in
// recorders, so the jobs run without widgets.
#pragma once
#include <QString>
#include <cstdint>
#include <optional>

#include "core/command_handoff.h"
#include "print/dot_scan.h"

namespace quorel {

// Status label back colours (0xBBGGRR).
constexpr uint32_t kStatusYellow = 0x0000FFFF;
constexpr uint32_t kStatusCyan = 0x00FFFF00;
constexpr uint32_t kStatusRed = 0x000000FF;

class BmpJobLine {
 public:
  virtual ~BmpJobLine() = default;
  virtual void commIni() = 0;
  virtual ComuOutcome poll() = 0;
  // Sends gSendCommand and waits for its reply.
  virtual ComuOutcome comu() = 0;
  // The channel's timer (Timer1), off while the line is used around it.
  virtual void TimerOff() = 0;
  virtual void TimerOn() = 0;
};

class BmpJobView {
 public:
  virtual ~BmpJobView() = default;
  virtual void SetControlsEnabled(bool enabled) = 0;
  // LbStatusMsg.
  virtual void Status(const QString& caption) = 0;
  virtual void StatusColour(uint32_t bgr) = 0;
  // Paints the window now (before a call that blocks it).
  virtual void Repaint() = 0;
  // LbTime(index): a measured time, or the "--.--- s" placeholder.
  virtual void Time(int index, std::optional<uint32_t> ms) = 0;
  virtual void LineDisp(int value) = 0;
  virtual void SendDataDisp(const QString& text) = 0;
  // bar 0 ProgBarFileTrance, 1 ProgBarDataSend.
  virtual void Progress(int bar, int value, int maximum) = 0;
  // Lets pending window events run (Stop, menus, other windows).
  virtual void PumpEvents() = 0;
  // Redraws the view for the print area; Pixels then reads it.
  virtual void PictureRefresh() = 0;
  virtual printdata::RgbView Pixels() const = 0;
  // A line for the communication log (work files that could not be written).
  virtual void Note(const QString& text) = 0;
};

}  // namespace quorel
