// What a command of the standard device leaves for its "A" reply.
#pragma once
#include <string>

namespace sim {

// The end code and data of a command's "A" reply, and the polls it stays
// busy before that reply.
struct Outcome {
  std::string status = "90";
  std::string data;
  int busyPolls = 0;
};

}  // namespace sim
