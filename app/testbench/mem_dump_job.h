// The memory dump without its window: reads the device's memory from the
// start address, 16 bytes a line ("md:" + start first, then "md" for each
// following line), until a line lies past the end address, a reply is not a
// good dump reply, Stop is pressed, the port closes or the program closes.
// The lines build the dump text (header, then the lines, CR LF between);
// with the monitor on, each line is shown as it arrives.
//
// The run is one handler on the GUI thread; the Stop click and the window's
// close reach it through the shared gDumpStop, which also ends the
// channel's wait for the dump's own reply (and no one else's).
#pragma once
#include <QString>
#include <cstdint>

#include "core/command_handoff.h"

namespace quorel {

class DeviceChannel;

// What the dump shows; the window implements it.
class MemDumpDisplay {
 public:
  virtual ~MemDumpDisplay() = default;
  virtual void ShowCaption(const QString& caption) = 0;  // CmdDumpStart
  // Address boxes read-only; presets, search box and button, monitor box
  // disabled while locked.
  virtual void SetLocked(bool locked) = 0;
  virtual void SetSaveEnabled(bool enabled) = 0;  // Command2
  // DumpHex: the whole text, or text added at its end with the caret
  // behind it (lines joined by CR LF).
  virtual void SetDumpText(const QString& text) = 0;
  virtual void AppendDumpText(const QString& text) = 0;
  virtual void ShowLastLine(const QString& line) = 0;  // LbGetAdd
  virtual void SetProgressRange(int minimum, int maximum) = 0;
  virtual void SetProgress(int value) = 0;
  virtual void ShowPercent(const QString& text) = 0;  // LbPercent
  virtual QString StartText() const = 0;              // TxtAddStart
  virtual QString EndText() const = 0;                // TxtAddEnd
  virtual void SetStartText(const QString& text) = 0;
  virtual void SetEndText(const QString& text) = 0;
  virtual bool Monitor() const = 0;  // ChkDumpMonitor
};

class MemDumpJob {
 public:
  static const QString kStartCaption;  // "Start"
  static const QString kStopCaption;   // "Stop"

  MemDumpJob(DeviceChannel& channel, MemDumpDisplay& display);
  MemDumpJob(const MemDumpJob&) = delete;
  MemDumpJob& operator=(const MemDumpJob&) = delete;

  // CmdDumpStart_Click: a dump from idle, Stop while one runs. Addresses
  // that are not six hex digits, or an end before the start, are refused
  // with a box before anything is sent.
  void Click();
  // The window's close request: a running dump ends; the reply fields are
  // emptied.
  void Close();

  const QString& caption() const { return caption_; }
  const QString& dumpText() const { return dump_; }
  bool Running() const { return running_; }

 private:
  void Run(uint32_t start, uint32_t end);
  // Ends a dump: the text shown when it was not shown line by line, the
  // window unlocked, Save enabled when there is something to save.
  void Finish(bool monitor);
  ComuOutcome Send(const QString& command);
  bool MustEnd() const;
  void SetCaption(const QString& caption);

  DeviceChannel& channel_;
  MemDumpDisplay& display_;
  QString caption_;
  QString dump_;
  bool running_ = false;
};

}  // namespace quorel
