// The device's print image RAM and the two commands that fill it.
//
// "PI" takes one hex text record, ":<column>/<row>/<bytes per row>/<hex>
// [/<hex>...]": each row's hex digits (upper case, at least two for every
// byte the header names, the same count in every row; an odd last digit
// fills the high half of a byte) land in the RAM at row, row + 1 and so on.
// The command stays busy for one poll, then answers "A PI 90"; a record that
// does not parse answers "A PI 14" and changes nothing.
//
// "IB" (no data; with data it answers "A IB 14") answers "A IB 90" and then
// switches the line into the block mode: the host sends blocks 0x01, n,
// n ^ 0xFF, four rows of row bytes, the 8-bit sum of those row bytes. The
// device's head is `width` dots wide (320 unless the control line "ibwidth"
// says otherwise), so a block is 4 + 4 * ceil(width / 8) bytes long and is
// taken as soon as that many bytes are in. A block with the right header and
// sum gets ACK (0x06) and its rows go to RAM rows 4n to 4n + 3; any other
// gets NAK (0x15). EOT ENQ ends the mode and gets the verdict: the idle
// status frame "R <state> <aux>" (as a poll outside the mode gets it). A NAK
// (0x15) from the host that comes before anything else asks for the "IB"
// reply again; any other stray byte between blocks is skipped.
//
// Both handlers stand for the plain and the standard device alike: the
// standard command set leaves "PI" and "IB" to them, and its power-up rule
// (every command but "PA", "RS" and "CL" answers "10") does not reach them.
// Everything runs on the simulator's service thread with the simulator
// locked; so does the RAM's accessor.
#pragma once
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "sim/types.h"

namespace sim {

class DeviceModel;

class ImageRam {
 public:
  // The model outlives the RAM; its fault knobs (ibnak, ibsilent, ibbadbcc)
  // shape the block mode's answers and its idle frame is the verdict.
  explicit ImageRam(DeviceModel& model) : model_(model) {}
  ImageRam(const ImageRam&) = delete;
  ImageRam& operator=(const ImageRam&) = delete;

  Answer OnPI(const Command& cmd);
  Answer OnIB(const Command& cmd);

  // The control lines "image clear" and "ibwidth DOTS": false when the line
  // is neither; else *error is "" or the usage text.
  bool Control(const std::vector<std::string>& w, std::string* error);

  // RAM row -> that row's bytes, leftmost dot in bit 7.
  const std::map<int, Bytes>& rows() const { return rows_; }
  void Clear() { rows_.clear(); }
  // The whole RAM at once: "IC:" copies a stored area back into it.
  void SetRows(std::map<int, Bytes> rows) { rows_ = std::move(rows); }

  // The head's width in dots.
  int width() const { return width_; }
  // Length of one block for the head's width.
  size_t BlockSize() const;
  // One block of `size` bytes (BlockSize() when "IB" came), starting with
  // 0x01, from the block mode: checks it, stores it and answers it.
  void TakeBlock(const uint8_t* block, size_t size, ModeIo& io);
  // The answer to EOT ENQ in the block mode.
  void SendVerdict(ModeIo& io);

 private:
  DeviceModel& model_;
  std::map<int, Bytes> rows_;
  int width_ = 320;
};

}  // namespace sim
