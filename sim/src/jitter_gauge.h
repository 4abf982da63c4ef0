// The device's clock-jitter measurement of the magnetic tracks: after a
// write-and-verify in the insertion direction ("WR") or a read in the
// ejection direction ("VR"), "jt:" + track answers the seven figures of
// that track and direction: bit interval maximum, minimum and average (3
// digits each), the jitter rate (4 characters), the average speed and the
// 0/1 threshold (3 digits each) and the verdict "OK" or "NG", at their
// fixed places in the reply.
//
// Control line: "jitter TRACK ins|ej MAX MIN AVE RATE SPEED THR OK|NG" sets
// the figures of one track and direction (all start at a good reading).
#pragma once
#include <array>
#include <string>
#include <vector>

#include "sim/types.h"

namespace sim {

class JitterGauge {
 public:
  JitterGauge() { Reset(); }
  // Notes the direction of "WR"/"VR" (false: the command runs as usual) and
  // answers "jt:" (true).
  bool Handle(const std::string& code, const std::string& param, Answer* answer);
  // The control line "jitter ...": false when the line is another one.
  bool Control(const std::vector<std::string>& w, std::string* error);
  void Reset();

 private:
  using Figures = std::array<std::string, 7>;
  std::array<std::array<Figures, 2>, 3> figures_;  // track, direction
  int direction_ = 0;                               // 0 insertion, 1 ejection
};

}  // namespace sim
