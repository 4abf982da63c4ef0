#include "print/print_data.h"

#include <algorithm>

namespace printdata {
namespace {

bool InRange(long v, long lo, long hi) { return v >= lo && v <= hi; }

bool SizeUsable(int width, int height) {
  return InRange(width, 1, kMaxSize) && InRange(height, 1, kMaxSize);
}

size_t DecimalLength(long v) {
  size_t n = 1;
  while (v >= 10) {
    v /= 10;
    ++n;
  }
  return n;
}

int BytesPerRow(int width, int startColumn) { return (width - startColumn) / 8; }

// One hex digit per four dots from startColumn on; a last group that runs
// past the area reads no dots there.
int HexDigitsPerRow(int width, int startColumn) { return (width - startColumn + 3) / 4; }

void AppendHeader(std::string* record, int row, int bytesPerRow) {
  record->append("PI:0/");
  record->append(std::to_string(row));
  record->push_back('/');
  record->append(std::to_string(bytesPerRow));
  record->push_back('/');
}

}  // namespace

void ClassifyRow(const DotArea& area, int y, uint8_t* dots) {
  if (area.width <= 0) return;
  std::fill(dots, dots + area.width, uint8_t{0});
  const RgbImage* pic = area.picture;
  if (pic == nullptr || y < 0 || y >= area.height || y >= pic->height) return;
  const int inside = std::min(area.width, pic->width);
  const uint8_t* p = pic->rgb.data() + static_cast<size_t>(y) * pic->width * 3;
  const Thresholds& t = area.thresholds;
  for (int x = 0; x < inside; ++x, p += 3) {
    dots[x] = static_cast<uint8_t>(ClassifyPixel(p[0], p[1], p[2], t));
  }
}

size_t IBBlockSize(int width) {
  if (width <= 0) return 4;
  return 4 + 4 * ((static_cast<size_t>(width) + 7) / 8);
}

long MinPIRecordBufferSize(int width, int height, int startColumn, int rowBase) {
  const long lastRow = static_cast<long>(rowBase) + height - 1;
  const long header = 5 + static_cast<long>(DecimalLength(lastRow)) + 1 +
                      static_cast<long>(DecimalLength(BytesPerRow(width, startColumn))) + 1;
  return header + HexDigitsPerRow(width, startColumn) + 14;
}

int CheckPIArguments(int width, int height, int startColumn, int rowBase, long recordBufferSize) {
  if (!SizeUsable(width, height)) return kBadArgument;
  if (!InRange(startColumn, 0, width - 1) || !InRange(rowBase, 0, kMaxSize)) return kBadArgument;
  if (!InRange(recordBufferSize, 1, kMaxSize) ||
      recordBufferSize < MinPIRecordBufferSize(width, height, startColumn, rowBase)) {
    return kBadArgument;
  }
  return kOk;
}

int CheckIBArguments(int width, int height, int rowBase, long blockBufferSize) {
  if (!SizeUsable(width, height) || !InRange(rowBase, 0, kMaxSize)) return kBadArgument;
  if (!InRange(blockBufferSize, 1, kMaxSize) ||
      static_cast<size_t>(blockBufferSize) < IBBlockSize(width)) {
    return kBadArgument;
  }
  return kOk;
}

int BuildPIRecords(const DotArea& area, int startColumn, int rowBase, long recordBufferSize,
                   std::vector<std::string>* records) {
  if (records == nullptr ||
      CheckPIArguments(area.width, area.height, startColumn, rowBase, recordBufferSize) != kOk) {
    return kBadArgument;
  }

  const int width = area.width;
  const long limit = recordBufferSize - width / 4 - 14;  // may be <= 0: one row a record
  const int bytesPerRow = BytesPerRow(width, startColumn);
  const int digits = HexDigitsPerRow(width, startColumn);

  // Room for the last group's dots past the area's right edge, which stay 0.
  std::vector<uint8_t> dots(static_cast<size_t>(startColumn) + digits * 4, 0);
  std::vector<std::string> out;
  std::string record;
  bool open = false;
  for (int i = 0; i < area.height; ++i) {
    if (!open) {
      record.clear();
      record.reserve(static_cast<size_t>(recordBufferSize));
      AppendHeader(&record, rowBase + i, bytesPerRow);
      open = true;
    }
    ClassifyRow(area, i, dots.data());
    const uint8_t* d = dots.data() + startColumn;
    for (int g = 0; g < digits; ++g, d += 4) {
      record.push_back(NibbleToHex(d[0] << 3 | d[1] << 2 | d[2] << 1 | d[3]));
    }
    // A "/" that would bring the record to the limit ends it here instead:
    // the record in hand is stored, so its rows are sent.
    if (static_cast<long>(record.size()) + 1 < limit && i != area.height - 1) {
      record.push_back('/');
    } else {
      out.push_back(std::move(record));
      record = std::string();
      open = false;
    }
  }
  records->swap(out);
  return kOk;
}

int BuildIBBlocks(const DotArea& area, int rowBase, long blockBufferSize,
                  std::vector<std::vector<uint8_t>>* blocks) {
  if (blocks == nullptr ||
      CheckIBArguments(area.width, area.height, rowBase, blockBufferSize) != kOk) {
    return kBadArgument;
  }
  const size_t blockSize = IBBlockSize(area.width);

  const int rowBytes = (area.width + 7) / 8;
  const int blockCount = (area.height + 3) / 4;
  std::vector<uint8_t> dots(static_cast<size_t>(rowBytes) * 8, 0);
  std::vector<std::vector<uint8_t>> out(static_cast<size_t>(blockCount));
  for (int k = 0; k < blockCount; ++k) {
    std::vector<uint8_t>& block = out[static_cast<size_t>(k)];
    block.assign(blockSize, 0);
    const uint8_t n = static_cast<uint8_t>((rowBase + 4 * k) / 4);
    block[0] = 0x01;
    block[1] = n;
    block[2] = static_cast<uint8_t>(n ^ 0xFF);
    uint8_t* p = block.data() + 3;
    unsigned sum = 0;
    for (int r = 0; r < 4; ++r) {
      ClassifyRow(area, 4 * k + r, dots.data());
      const uint8_t* d = dots.data();
      for (int b = 0; b < rowBytes; ++b, d += 8) {
        const uint8_t v = static_cast<uint8_t>(d[0] << 7 | d[1] << 6 | d[2] << 5 | d[3] << 4 |
                                               d[4] << 3 | d[5] << 2 | d[6] << 1 | d[7]);
        *p++ = v;
        sum += v;
      }
    }
    *p = static_cast<uint8_t>(sum);
  }
  blocks->swap(out);
  return kOk;
}

}  // namespace printdata
