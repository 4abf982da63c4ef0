// What the standard device remembers between commands: its state digit,
// the card and where it is, the modes, the clock, the counters, the
// magnetic buffers, the loaded print data and the head values (the EEPROM
// is the command set's, eeprom_bank.h).
// Each command comes in as its parameter text (the bytes after the code)
// and leaves an end code and data for its "A" reply. No I/O, no timing: the
// command set (command_set.h) adds the waits for cards and restarts.
#pragma once
#include <array>
#include <cstdint>
#include <ctime>
#include <map>
#include <string>

#include "magnetic_tracks.h"
#include "outcome.h"

namespace sim {

// Where the card is: the second status digit of an idle "R" reply.
enum class CardPos : char {
  None = '0',
  Front = '1',  // at the slot, or inside at the front
  Middle = '2',
  Rear = '3',
  Exit = '4',  // put out, waiting to be taken
};

class DeviceState {
 public:
  DeviceState();
  // Back to the power-on state; the model and its version text stay.
  void PowerOn();

  // ---- the idle report and the knobs of the control lines ----
  char state() const { return state_; }
  void set_state(char digit) { state_ = digit; }
  CardPos card() const { return card_; }
  void set_card(CardPos p) { card_ = p; }
  // "<state digit><card digit>", the first field of an "R" reply.
  std::string IdleStatus() const;
  bool CardInside() const;

  const std::string& version() const { return version_; }
  void set_version(const std::string& v) { version_ = v; }
  // The version text of a model family name; false for an unknown name.
  static bool FamilyVersion(const std::string& family, std::string* version);

  // The A/D codes "!!s" answers with: two hex digits a value.
  void set_sensorFields(const std::string& f) { sensorFields_ = f; }
  // The value "!!x?" reads back ("00" when never set), and its change.
  std::string Setting(char what) const {
    auto v = settings_.find(what);
    return v == settings_.end() ? "00" : v->second;
  }
  void SetSetting(char what, const std::string& v) { settings_[what] = v; }
  // The card's magnetic track n (1 to 3); "" is a blank track.
  void SetCardTrack(int n, const std::string& data) { mag_.SetCardTrack(n, data); }
  // The magnetic tracks, for their fault knobs.
  MagneticTracks& magnetic() { return mag_; }
  bool SetCounter(char letter, uint32_t value);
  // The device clock: seconds it runs ahead of the PC clock.
  void set_clockOffset(int64_t s) {
    clockOffset_ = s;
    weekdayShift_ = 0;
  }
  // "yymmddhhmmss" as a local time; false when it names no time.
  static bool ParseClock(const std::string& yymmdd, const std::string& hhmmss, time_t* t);

  // Takes a card waiting at the slot or at the exit in, to `to`; false when
  // there is none.
  bool TakeCardIn(CardPos to);
  // The card put in at the slot by the operator; false when one is there.
  bool Insert();
  // The card taken away at the slot or the exit; false when it is inside.
  bool Remove();
  // A restart has ended: the device reports a power-up until "PA".
  void Restarted();

  // ---- commands (param: the bytes after the two code bytes) ----
  Outcome PowerAck();                               // PA
  Outcome Version(const std::string& param) const;  // VS, VS?
  Outcome Sensors() const;                          // ST
  Outcome SetModes(const std::string& param);       // MS:
  Outcome Modes() const;                            // MR
  Outcome Counter(const std::string& param) const;  // CT, CT:x
  Outcome Clock(const std::string& param);          // CK, CK:yymmdd0whhmmss
  Outcome HeadData() const;                         // TH
  Outcome HeadPower(const std::string& param);      // PW:, PW
  Outcome EraseSet(const std::string& param);       // ET:
  Outcome EraseRead() const;                        // RE
  Outcome Move(const std::string& code);            // CO BI BO BP FE FP RP
  Outcome MagRead();                                // RD
  Outcome MagWrite(bool verify);                    // WR, WN
  Outcome MagVerify();                              // VR
  Outcome SetTrack(const std::string& param);       // WD:n/data
  Outcome TrackData(const std::string& param) const;  // DT:n, dt:n
  Outcome ReadCheck() const;                        // RC
  Outcome ClearPrint();                             // PC
  Outcome Raster(const std::string& param);         // GJ:
  Outcome Page(const std::string& param);           // PD:
  Outcome Area(const std::string& param);           // AS:
  Outcome Print(const std::string& code, const std::string& param);  // PR PO PP EP
  // A picture in the print image RAM ("PI", "IB", "IC:") is print data too.
  void set_image_loaded(bool loaded) { imageLoaded_ = loaded; }
  Outcome Maintenance(const std::string& param);    // !!x

 private:
  void Bump(const char* letters);
  void ClearErrorCounts();

  char state_ = '0';
  CardPos card_ = CardPos::None;
  std::string version_;
  std::map<char, char> modes_;
  int64_t clockOffset_ = 0;
  int weekdayShift_ = 0;  // the clock keeps the weekday it was given, right or wrong
  std::map<char, uint32_t> counters_;
  MagneticTracks mag_;
  int rasterLines_ = 0;
  int pages_ = 0;
  bool imageLoaded_ = false;  // the print image RAM holds a picture
  std::string area_;
  std::string headPower_ = "1214";
  std::string erase_ = "0000";
  std::string sensorFields_ = "A8C4379B42FF";
  std::map<char, std::string> settings_;  // "!!x:" values, read back by "!!x?"
};

}  // namespace sim
