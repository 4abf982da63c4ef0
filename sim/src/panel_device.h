// The operator panel and the DIP switches of the device, as the test bench
// drives them: "mdw" writes one memory byte ("mdwAAAAAA:BB"), "SG:" + three
// digits switches the 7-segment display's drive, "LD:" + two digits sets the
// two LEDs (0 off, 1 on, 4 blinking), "BZ", "BZ:000000", "BZv1", "BZv2"
// drive the buzzer, and "!!i" reads both switch banks as four hex digits
// (bank 1 then bank 2, switch 1 in bit 0).
//
// Control lines: "dip HHHH" sets both banks; "dip script R1 R2 ..." queues
// readings that the next "!!i" commands answer in turn (a reading "-" is a
// refused one, status "99"); the last reading of a script stays.
//
// Everything runs on the simulator's service thread with the simulator
// locked.
#pragma once
#include <deque>
#include <string>
#include <vector>

#include "memory_model.h"
#include "sim/types.h"

namespace sim {

class PanelDevice {
 public:
  // A command of the panel: false when code/param is none of them.
  bool Handle(const std::string& code, const std::string& param, MemoryModel& memory, Answer* answer);
  // The control lines "dip ...": false when the line is none of them.
  bool Control(const std::vector<std::string>& w, std::string* error);
  void Reset();

  const std::string& segmentDrive() const { return segment_; }
  const std::string& leds() const { return leds_; }
  const std::string& buzzer() const { return buzzer_; }

 private:
  Answer Switches();

  std::string segment_ = "880";
  std::string leds_ = "00";
  std::string buzzer_;
  std::string dip_ = "0000";
  std::deque<std::string> script_;
};

}  // namespace sim
