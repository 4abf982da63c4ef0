#include "print/dot_scan.h"

#include <algorithm>

namespace printdata {
namespace {

bool AreaUsable(const ScanArea& a) {
  return a.height >= 0 && a.firstColumn >= 0 && a.firstColumn <= std::max(a.width, 0);
}

int GroupsInRow(const ScanArea& a, int groupWidth) {
  if (!AreaUsable(a) || a.width <= a.firstColumn) return 0;
  return (a.width - a.firstColumn) / groupWidth;
}

// Dots of columns x0 .. x0 + n - 1 of row y into dots[0 .. n - 1]; pixels
// outside the view are white, which no offset of the window makes a dot but
// which is judged by the same rule all the same.
void ClassifySpan(const RgbView& v, int y, int x0, int n, const Thresholds& t, uint8_t* dots) {
  int inside = 0;
  if (v.data != nullptr && y >= 0 && y < v.height && x0 < v.width) inside = std::min(n, v.width - x0);
  if (inside > 0) {
    const uint8_t* p = v.data + static_cast<size_t>(y) * v.stride + static_cast<size_t>(x0) * 3;
    for (int i = 0; i < inside; ++i, p += 3) dots[i] = static_cast<uint8_t>(ClassifyPixel(p[0], p[1], p[2], t));
  }
  const uint8_t white = static_cast<uint8_t>(ClassifyPixel(255, 255, 255, t));
  std::fill(dots + std::max(inside, 0), dots + n, white);
}

bool Stopped(const StopCheck& stop) { return stop && stop(); }

// The row's groups are judged first (reading pixels has no effect the stop
// could see), then written one group at a time with the stop asked between.
bool HexRow(const RgbView& view, const ScanArea& area, int y, const Thresholds& t, const StopCheck& stop,
            std::vector<uint8_t>* scratch, std::string* out) {
  const int groups = GroupsInRow(area, 4);
  scratch->resize(static_cast<size_t>(groups) * 4);
  ClassifySpan(view, y, area.firstColumn, groups * 4, t, scratch->data());
  const uint8_t* d = scratch->data();
  out->reserve(out->size() + static_cast<size_t>(groups));
  for (int g = 0; g < groups; ++g, d += 4) {
    out->push_back(NibbleToHex(d[0] << 3 | d[1] << 2 | d[2] << 1 | d[3]));
    if (Stopped(stop)) return false;
  }
  return true;
}

bool PackedRow(const RgbView& view, const ScanArea& area, int y, const Thresholds& t, const StopCheck& stop,
               std::vector<uint8_t>* scratch, std::vector<uint8_t>* out) {
  const int groups = GroupsInRow(area, 8);
  scratch->resize(static_cast<size_t>(groups) * 8);
  ClassifySpan(view, y, area.firstColumn, groups * 8, t, scratch->data());
  const uint8_t* d = scratch->data();
  out->reserve(out->size() + static_cast<size_t>(groups));
  for (int g = 0; g < groups; ++g, d += 8) {
    out->push_back(static_cast<uint8_t>(d[0] << 7 | d[1] << 6 | d[2] << 5 | d[3] << 4 | d[4] << 3 |
                                        d[5] << 2 | d[6] << 1 | d[7]));
    if (Stopped(stop)) return false;
  }
  return true;
}

bool RowDone(const ScanHooks& hooks, int y) {
  if (hooks.afterRow) hooks.afterRow(y);
  return !Stopped(hooks.stop);
}

}  // namespace

RgbView ViewOf(const RgbImage& image) {
  RgbView v;
  v.data = image.rgb.empty() ? nullptr : image.rgb.data();
  v.width = image.width;
  v.height = image.height;
  v.stride = static_cast<size_t>(std::max(image.width, 0)) * 3;
  return v;
}

Thresholds ShiftedThresholds(int brightness) {
  Thresholds t;
  t.lower += brightness;
  t.middle += brightness;
  t.upper += brightness;
  return t;
}

int HexDigitsInRow(const ScanArea& area) { return GroupsInRow(area, 4); }
int PackedBytesInRow(const ScanArea& area) { return GroupsInRow(area, 8); }

bool AppendHexRow(const RgbView& view, const ScanArea& area, int y, const Thresholds& t, const StopCheck& stop,
                  std::string* out) {
  if (out == nullptr) return true;
  std::vector<uint8_t> scratch;
  return HexRow(view, area, y, t, stop, &scratch, out);
}

bool AppendPackedRow(const RgbView& view, const ScanArea& area, int y, const Thresholds& t,
                     const StopCheck& stop, std::vector<uint8_t>* out) {
  if (out == nullptr) return true;
  std::vector<uint8_t> scratch;
  return PackedRow(view, area, y, t, stop, &scratch, out);
}

ScanStatus ScanHexRows(const RgbView& view, const ScanArea& area, const Thresholds& t, const ScanHooks& hooks,
                       std::vector<std::string>* rows) {
  if (rows == nullptr || !AreaUsable(area)) return ScanStatus::kBadArea;
  rows->clear();
  rows->reserve(static_cast<size_t>(area.height));
  std::vector<uint8_t> scratch;
  for (int y = 0; y < area.height; ++y) {
    rows->emplace_back();
    if (!HexRow(view, area, y, t, hooks.stop, &scratch, &rows->back())) return ScanStatus::kStopped;
    if (!RowDone(hooks, y)) return ScanStatus::kStopped;
  }
  return ScanStatus::kDone;
}

ScanStatus ScanPackedRows(const RgbView& view, const ScanArea& area, const Thresholds& t,
                          const ScanHooks& hooks, std::vector<uint8_t>* bytes) {
  if (bytes == nullptr || !AreaUsable(area)) return ScanStatus::kBadArea;
  bytes->clear();
  bytes->reserve(static_cast<size_t>(PackedBytesInRow(area)) * static_cast<size_t>(area.height));
  std::vector<uint8_t> scratch;
  for (int y = 0; y < area.height; ++y) {
    if (!PackedRow(view, area, y, t, hooks.stop, &scratch, bytes)) return ScanStatus::kStopped;
    if (!RowDone(hooks, y)) return ScanStatus::kStopped;
  }
  return ScanStatus::kDone;
}

}  // namespace printdata
