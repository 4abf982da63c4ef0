#include "card_read_profile.h"

namespace sim {

namespace {

const char kUsage[] =
    "usage: cardread on|off|clear | cardread data TEXT | cardread status PASS STATUS | "
    "cardread status PASS off";

bool ParsePass(const std::string& s, int* pass) {
  if (s.empty() || s.size() > 6) return false;
  int n = 0;
  for (char c : s) {
    if (c < '0' || c > '9') return false;
    n = n * 10 + (c - '0');
  }
  *pass = n;
  return n >= 1;
}

bool IsStatus(const std::string& s) {
  return s.size() == 2 && static_cast<unsigned char>(s[0]) > ' ' && static_cast<unsigned char>(s[1]) > ' ';
}

}  // namespace

// Three tracks as a reader reports them: start sentinel, data, end sentinel.
const char CardReadProfile::kDefaultTrackData[] =
    "%VANTOR TEST CARD TRACK ONE?;1234567890123456789?;0123456789012345678901234567890123?";

void CardReadProfile::OnCardIn(Answer* a) {
  if (!on_ || a->status != "90") return;
  ++passes_;
  const auto it = statuses_.find(passes_);
  if (it != statuses_.end()) {
    a->status = it->second;
    a->data.clear();
    return;
  }
  a->data.assign(trackData_.begin(), trackData_.end());
}

Answer CardReadProfile::OnMargin(const std::string& param) {
  Answer a;
  if (param.size() != 2 || param[1] < '0' || param[1] > '2') {
    a.status = "14";
    return a;
  }
  margin_ = param[1];
  return a;
}

void CardReadProfile::Reset() {
  on_ = false;
  passes_ = 0;
  margin_ = '0';
  trackData_ = kDefaultTrackData;
  statuses_.clear();
}

bool CardReadProfile::Control(const std::vector<std::string>& w, std::string* error) {
  if (w.empty() || w[0] != "cardread") return false;
  *error = "";
  int pass = 0;
  if (w.size() == 2 && (w[1] == "on" || w[1] == "off")) {
    on_ = w[1] == "on";
    passes_ = 0;
  } else if (w.size() == 2 && w[1] == "clear") {
    passes_ = 0;
    statuses_.clear();
  } else if (w.size() == 3 && w[1] == "data") {
    trackData_ = w[2];
  } else if (w.size() == 4 && w[1] == "status" && ParsePass(w[2], &pass) && w[3] == "off") {
    statuses_.erase(pass);
  } else if (w.size() == 4 && w[1] == "status" && ParsePass(w[2], &pass) && IsStatus(w[3])) {
    statuses_[pass] = w[3];
  } else {
    *error = kUsage;
  }
  return true;
}

}  // namespace sim
