// Printed cards as files, for a person or a test to look at: each card the
// standard device prints becomes card-NNN.pbm (the print image RAM as the
// head printed it, one bit a dot, black = 1) and card-NNN.txt (its card
// kind, background, magnetic tracks and text lines) in the folder the
// control line "cards DIR" names. Both are written whole or not at all.
#pragma once
#include <array>
#include <map>
#include <string>
#include <vector>

#include "sim/types.h"

namespace sim {

struct PrintedCard {
  // The print data the card was printed from, the print command last, as
  // the print buffer keeps them ("MS:..", "PD:..", "RV", "PR=1").
  std::vector<std::string> commands;
  std::array<std::string, 3> tracks;  // what the card holds on tracks 1 to 3
  int width = 0;                      // dots a row
  std::map<int, Bytes> rows;          // RAM row -> bytes, leftmost dot in bit 7
};

class PrintedCardFiles {
 public:
  // The rows of a card's print raster.
  static constexpr int kCardRows = 600;

  // "" stops the writing. Numbering starts again at 1.
  void SetFolder(const std::string& dir);
  bool on() const { return !dir_.empty(); }
  // Writes the next card's two files; false and *error when they could not be.
  bool Write(const PrintedCard& card, std::string* error);

  // Binary PBM of the card's raster, kCardRows rows or up to the highest
  // RAM row written when that is further (rows never written are white;
  // dots past the width are cut).
  static std::string Pbm(int width, const std::map<int, Bytes>& rows);
  // "kind K" (from "MS:..B<K>" or the print command's "=K"; "-" when none),
  // "background white|silver", "track N DATA" for each track and "text
  // LINE" for each line of each page text, page items left out.
  static std::string Text(const PrintedCard& card);

 private:
  std::string dir_;
  int count_ = 0;
};

}  // namespace sim
