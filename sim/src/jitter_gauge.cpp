#include "jitter_gauge.h"

namespace sim {
namespace {

const size_t kWidths[] = {3, 3, 3, 4, 3, 3, 2};

}  // namespace

void JitterGauge::Reset() {
  const Figures good{"312", "298", "305", "12.5", "400", "150", "OK"};
  for (auto& track : figures_) track = {good, good};
  direction_ = 0;
}

bool JitterGauge::Handle(const std::string& code, const std::string& param, Answer* answer) {
  if (code == "WR") direction_ = 0;
  if (code == "VR") direction_ = 1;
  if (code != "jt") return false;
  *answer = Answer{};
  if (param.size() != 2 || param[0] != ':' || param[1] < '1' || param[1] > '3') {
    answer->status = "14";
    return true;
  }
  const Figures& f = figures_[static_cast<size_t>(param[1] - '1')][static_cast<size_t>(direction_)];
  // Gaps before each field, so that the fields fall on their places.
  static const char* const gaps[] = {" ", "  ", "  ", "  ", "   ", "   ", "   "};
  std::string data;
  for (size_t i = 0; i < f.size(); ++i) data += gaps[i] + f[i];
  answer->data.assign(data.begin(), data.end());
  return true;
}

bool JitterGauge::Control(const std::vector<std::string>& w, std::string* error) {
  if (w[0] != "jitter") return false;
  const std::string usage = "usage: jitter 1|2|3 ins|ej MAX MIN AVE RATE SPEED THR OK|NG";
  if (w.size() != 10 || w[1].size() != 1 || w[1][0] < '1' || w[1][0] > '3' || (w[2] != "ins" && w[2] != "ej")) {
    *error = usage;
    return true;
  }
  Figures f;
  for (size_t i = 0; i < f.size(); ++i) {
    if (w[3 + i].size() != kWidths[i]) {
      *error = usage + " (widths 3 3 3 4 3 3 2)";
      return true;
    }
    f[i] = w[3 + i];
  }
  figures_[static_cast<size_t>(w[1][0] - '1')][w[2] == "ej" ? 1 : 0] = f;
  return true;
}

}  // namespace sim
