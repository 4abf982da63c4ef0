// The device's memory as the memory-dump command reads it: a 24-bit address
// space of bytes. A byte nobody has set holds a default worked out from its
// address (never all zeros, so a cleared range shows); control lines set,
// fill and restore bytes.
//
// "md" (code "md") reads 16 bytes a line: "md:AAAAAA" reads the line at
// address AAAAAA (six hex digits, either case), "md" alone the line after
// the last one read (the first "md" of a run without an address reads from
// 000000); the address wraps from FFFFFF to 000000. The reply is
// "A md 90" with the data " " + the line, and a line is
//   AAAAAA: b0 b1 b2 b3 b4 b5 b6 b7-b8 b9 bA bB bC bD bE bF     cccccccccccccccc
// the address as six upper-case hex digits, ":", each byte as two upper-case
// hex digits after a blank ("-" between the eighth and the ninth), five
// blanks and the 16 bytes as characters (printable ASCII as it is, every
// other byte "."). Any other parameter answers "A md 14".
//
// Everything runs on the simulator's service thread with the simulator
// locked.
#pragma once
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "sim/types.h"

namespace sim {

class MemoryModel {
 public:
  static constexpr uint32_t kSize = 0x1000000;  // 24-bit addresses
  static constexpr uint32_t kLineBytes = 16;

  // What a byte holds until something sets it.
  static uint8_t DefaultByte(uint32_t address);

  uint8_t Byte(uint32_t address) const;
  // Bytes from address on (wrapping at the end of the space).
  void Set(uint32_t address, const Bytes& bytes);
  void Fill(uint32_t address, uint32_t count, uint8_t value);
  // Every byte back to its default.
  void RestoreDefaults() { bytes_.clear(); }

  // The dump line of the 16 bytes at address (without the reply's lead blank).
  std::string Line(uint32_t address) const;

  // The command "md" (param: the bytes after the code).
  Answer OnMd(const std::string& param);

  // The control lines "memory ...": false when the line is none of them;
  // else *error is "" or the usage text.
  bool Control(const std::vector<std::string>& w, std::string* error);
  // "reset": the read position back to 000000, no failure armed; the
  // contents stay.
  void Reset();

  // Six hex digits (1 to 6, either case) as an address; false otherwise.
  static bool ParseAddress(const std::string& text, uint32_t* address);

 private:
  static uint32_t Wrap(uint64_t address) { return static_cast<uint32_t>(address % kSize); }

  std::map<uint32_t, uint8_t> bytes_;  // the bytes set so far
  uint32_t next_ = 0;                  // the line "md" alone reads
  // An armed failure: the "md" after failAfter_ good ones answers failStatus_.
  bool failArmed_ = false;
  int failAfter_ = 0;
  std::string failStatus_;
};

}  // namespace sim
