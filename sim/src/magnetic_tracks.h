// The magnetic side of the standard device: the three tracks of the card,
// the data set for the next write ("WD:"), what the last read found, and
// the result of the last write, verify or read per track, which "RC"
// reports. Faults are injected per track and operation: a write that puts
// wrong data on the card, a verify or a read that fails on that track.
//
// Result codes per track: "90" done, "92" read a blank track, "41" read
// error, "44" verify error, "00" the track took no part.
#pragma once
#include <array>
#include <string>

#include "faults.h"
#include "outcome.h"

namespace sim {

enum class MagFault { Write = 0, Verify = 1, Read = 2 };

class MagneticTracks {
 public:
  MagneticTracks();

  // Track n (1 to 3) of the card; "" is a blank track.
  void SetCardTrack(int n, const std::string& data) { card_[static_cast<size_t>(n - 1)] = data; }
  const std::string& CardTrack(int n) const { return card_[static_cast<size_t>(n - 1)]; }
  // The fault knob of track n (1 to 3) for that operation.
  Knob& Fault(int n, MagFault kind) { return faults_[static_cast<size_t>(n - 1)][static_cast<size_t>(kind)]; }
  // A restart loses the write data and the last read.
  void LoseRam();

  // The commands; the caller has checked that a card is inside.
  Outcome Read();              // RD
  Outcome Write(bool verify);  // WR (write and verify), WN
  Outcome Verify();            // VR
  Outcome SetTrack(const std::string& param);         // WD ":n/data"
  Outcome TrackData(const std::string& param) const;  // DT, dt ":n"
  Outcome ReadCheck() const;                          // RC

 private:
  bool AnyWriteData() const { return writeSet_[0] || writeSet_[1] || writeSet_[2]; }
  void Finish(const std::string& status) { status_ = status; }

  std::array<std::string, 3> card_;
  std::array<std::string, 3> write_;
  std::array<bool, 3> writeSet_{};
  std::array<std::string, 3> read_;
  std::array<std::string, 3> results_;
  std::string status_ = "00";  // end code of the last write, verify or read
  std::array<std::array<Knob, 3>, 3> faults_{};
};

}  // namespace sim
