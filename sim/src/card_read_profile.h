// The card-read endurance profile of the standard device: what a reader
// that takes the same card in again and again answers.
//
// While it is on ("cardread on"), every "CI" counts as one pass (the first
// after "cardread on" or "cardread clear" is pass 1) and its good answer
// carries the card's track data ("cardread data" sets the text); a pass
// given a status of its own ("cardread status PASS STATUS", for a read
// error "41" or a jam "31", say) answers that status without data instead,
// the card having come in all the same. Off, "CI" answers as the standard
// device alone does.
//
// "!!m" followed by one digit 0, 1 or 2 sets the margin mode (normal,
// margin read, second-half margin) whether the profile is on or not; any
// other "!!m" answers "14". "CO3" and "COF" are the standard "CO": the card
// goes to the exit, where the next "CI" takes it back in.
//
// Everything runs on the simulator's service thread with the simulator
// locked.
#pragma once
#include <map>
#include <string>
#include <vector>

#include "sim/types.h"

namespace sim {

class CardReadProfile {
 public:
  static const char kDefaultTrackData[];

  bool on() const { return on_; }
  // Passes counted since it was switched on or cleared.
  int passes() const { return passes_; }
  char margin() const { return margin_; }

  // A "CI" answer the standard device has made: counted and shaped while
  // the profile is on. An answer that is not good stays as it is.
  void OnCardIn(Answer* a);
  // "!!m" (param: the bytes after "!!", "m" first).
  Answer OnMargin(const std::string& param);

  // The control lines "cardread ...": false when the line is none of them;
  // else *error is "" or the usage text.
  bool Control(const std::vector<std::string>& w, std::string* error);
  // "reset": off, passes and statuses forgotten, margin mode 0, the
  // default track data.
  void Reset();

 private:
  bool on_ = false;
  int passes_ = 0;
  char margin_ = '0';
  std::string trackData_ = kDefaultTrackData;
  std::map<int, std::string> statuses_;  // pass -> its status
};

}  // namespace sim
