#include "image_areas.h"

namespace sim {

namespace {

const char kBadParam[] = "14";

// "0" -> 0, "1" to ">" -> 1 to 14, anything else -> -1.
int AreaNumber(uint8_t code) {
  if (code < '0' || code > '>') return -1;
  return code - '0';
}

}  // namespace

const std::map<int, Bytes>& ImageAreas::Area(int number) const {
  static const std::map<int, Bytes> kNone;
  if (number < 1 || number > kAreas) return kNone;
  return areas_[static_cast<size_t>(number - 1)];
}

Answer ImageAreas::OnIC(const Command& cmd) {
  Answer a;
  const Bytes& d = cmd.data;
  const int from = d.size() == 3 && d[0] == ':' ? AreaNumber(d[1]) : -1;
  const int to = d.size() == 3 && d[0] == ':' ? AreaNumber(d[2]) : -1;
  if (from < 0 || to < 0) {
    a.status = kBadParam;
    return a;
  }
  if (from == to) return a;
  std::map<int, Bytes> rows = from == 0 ? ram_.rows() : areas_[static_cast<size_t>(from - 1)];
  if (to == 0) ram_.SetRows(std::move(rows));
  else areas_[static_cast<size_t>(to - 1)] = std::move(rows);
  return a;
}

}  // namespace sim
