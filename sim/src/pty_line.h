// The pseudo-terminal the simulator sits on. The device reads and writes the
// master; the host opens the slave through the link DIR/COMn. The simulator
// keeps a slave descriptor of its own open, so the host closing and
// reopening its side never hangs up the line.
#pragma once
#include <string>

namespace sim {

class PtyLine {
 public:
  PtyLine() = default;
  ~PtyLine();  // Close()
  PtyLine(const PtyLine&) = delete;
  PtyLine& operator=(const PtyLine&) = delete;

  // Opens a new pty in raw mode (the master non-blocking); false with *error.
  bool Open(std::string* error);
  // Points linkPath at the slave, replacing an existing link atomically.
  bool Link(const std::string& linkPath, std::string* error);
  // Removes the link when it still points at this line's slave.
  void Unlink();
  // Closes the master only: the cable is pulled. The host's reads then end
  // with end-of-file or EIO.
  void HangUp();
  void Close();

  int master() const { return master_; }
  const std::string& slavePath() const { return slavePath_; }
  const std::string& linkPath() const { return linkPath_; }

 private:
  int master_ = -1;
  int slave_ = -1;
  std::string slavePath_;
  std::string linkPath_;
};

}  // namespace sim
