// The device's 14 stored image areas and "IC:", the copy between them and
// the print image RAM. "IC:" + source + destination, each one of the codes
// "0" (the print image RAM) and "1" to "9", ":" to ">" (areas 1 to 14):
// the destination becomes a copy of the source (an area never written
// holds an empty image) and the reply is "A IC 90". Any other parameter
// answers "A IC 14" and changes nothing.
//
// Runs on the simulator's service thread with the simulator locked, like
// the RAM it copies.
#pragma once
#include <array>
#include <map>

#include "image_ram.h"
#include "sim/types.h"

namespace sim {

class ImageAreas {
 public:
  explicit ImageAreas(ImageRam& ram) : ram_(ram) {}
  ImageAreas(const ImageAreas&) = delete;
  ImageAreas& operator=(const ImageAreas&) = delete;

  Answer OnIC(const Command& cmd);

  static constexpr int kAreas = 14;
  // Area 1 to 14 -> its rows; an empty map for any other number.
  const std::map<int, Bytes>& Area(int number) const;

 private:
  ImageRam& ram_;
  std::array<std::map<int, Bytes>, kAreas> areas_;
};

}  // namespace sim
