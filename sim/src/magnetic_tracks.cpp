#include "magnetic_tracks.h"

namespace sim {

namespace {

const char kBadParam[] = "14";
const char kDone[] = "90";
const char kBlank[] = "92";
const char kReadError[] = "41";
const char kVerifyError[] = "44";
const char kNoReadData[] = "45";
const char kNoWriteData[] = "46";
const char kUntouched[] = "00";

const char* const kDefaultTracks[3] = {"VANTOR TEST CARD TRACK ONE", "1234567890123456789",
                                       "0123456789012345678901234567890123"};

// ":<n>" with a track digit 1 to 3 at param[1]; 0 when it is not one.
int TrackDigit(const std::string& param) {
  if (param.size() < 2 || param[0] != ':' || param[1] < '1' || param[1] > '3') return 0;
  return param[1] - '0';
}

// What a faulty write leaves on the card: the data with its last character
// spoiled, so it never reads back the same.
std::string Spoiled(const std::string& data) {
  if (data.empty()) return "?";
  std::string s = data;
  s.back() = s.back() == '?' ? '!' : '?';
  return s;
}

Outcome WithStatus(const std::string& status, int busyPolls = 0) {
  Outcome o;
  o.status = status;
  o.busyPolls = busyPolls;
  return o;
}

}  // namespace

MagneticTracks::MagneticTracks() {
  for (size_t i = 0; i < 3; ++i) card_[i] = kDefaultTracks[i];
  results_.fill(kUntouched);
}

void MagneticTracks::LoseRam() {
  writeSet_ = {};
  read_ = {};
  results_.fill(kUntouched);
  status_ = kUntouched;
}

Outcome MagneticTracks::Read() {
  bool any = false, failed = false;
  for (size_t i = 0; i < 3; ++i) {
    if (faults_[i][static_cast<size_t>(MagFault::Read)].Take()) {
      read_[i].clear();
      results_[i] = kReadError;
      failed = true;
      continue;
    }
    read_[i] = card_[i];
    results_[i] = read_[i].empty() ? kBlank : kDone;
    any = any || !read_[i].empty();
  }
  Finish(failed ? kReadError : any ? kDone : kNoReadData);
  return WithStatus(status_, 1);
}

Outcome MagneticTracks::Write(bool verify) {
  if (!AnyWriteData()) return WithStatus(kNoWriteData);
  bool failed = false;
  for (size_t i = 0; i < 3; ++i) {
    if (!writeSet_[i]) {
      results_[i] = kUntouched;
      continue;
    }
    const bool spoiled = faults_[i][static_cast<size_t>(MagFault::Write)].Take();
    card_[i] = spoiled ? Spoiled(write_[i]) : write_[i];
    // Only the writing with verification notices.
    results_[i] = spoiled && verify ? kVerifyError : kDone;
    failed = failed || results_[i] != kDone;
  }
  Finish(failed ? kVerifyError : kDone);
  return WithStatus(status_, 1);
}

Outcome MagneticTracks::Verify() {
  if (!AnyWriteData()) return WithStatus(kNoWriteData);
  bool failed = false;
  for (size_t i = 0; i < 3; ++i) {
    if (!writeSet_[i]) {
      results_[i] = kUntouched;
      continue;
    }
    const bool fault = faults_[i][static_cast<size_t>(MagFault::Verify)].Take();
    results_[i] = fault || card_[i] != write_[i] ? kVerifyError : kDone;
    failed = failed || results_[i] != kDone;
  }
  Finish(failed ? kVerifyError : kDone);
  return WithStatus(status_);
}

Outcome MagneticTracks::SetTrack(const std::string& param) {
  const int n = TrackDigit(param);
  if (n == 0 || param.size() < 3 || param[2] != '/') return WithStatus(kBadParam);
  write_[static_cast<size_t>(n - 1)] = param.substr(3);
  writeSet_[static_cast<size_t>(n - 1)] = true;
  return Outcome{};
}

Outcome MagneticTracks::TrackData(const std::string& param) const {
  const int n = TrackDigit(param);
  if (n == 0 || param.size() != 2) return WithStatus(kBadParam);
  const std::string& data = read_[static_cast<size_t>(n - 1)];
  Outcome o;
  o.data = std::string(1, param[1]) + data;
  if (data.empty()) o.status = kNoReadData;
  return o;
}

Outcome MagneticTracks::ReadCheck() const {
  Outcome o;
  o.data = results_[0] + results_[1] + results_[2] + status_;
  return o;
}

}  // namespace sim
