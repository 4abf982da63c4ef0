#include "image_ram.h"

#include <algorithm>
#include <cstdlib>
#include <memory>

#include "device_model.h"
#include "text.h"
#include "wire/codec.h"

namespace sim {

namespace {

constexpr uint8_t kSoh = 0x01;
constexpr int kMaxField = 32767;
const char kBadParam[] = "14";

// A decimal field of 1 to 5 digits, at most 32767, and the "/" after it.
bool Field(const std::string& s, size_t* at, int* v) {
  size_t i = *at;
  long n = 0;
  while (i < s.size() && i - *at < 5 && s[i] >= '0' && s[i] <= '9') n = n * 10 + (s[i++] - '0');
  if (i == *at || i >= s.size() || s[i] != '/' || n > kMaxField) return false;
  *v = static_cast<int>(n);
  *at = i + 1;
  return true;
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// One row's hex digits as bytes; false for a digit that is none.
bool HexRow(const std::string& digits, Bytes* out) {
  out->assign((digits.size() + 1) / 2, 0);
  for (size_t i = 0; i < digits.size(); ++i) {
    const int v = HexValue(digits[i]);
    if (v < 0) return false;
    (*out)[i / 2] |= static_cast<uint8_t>(i % 2 ? v : v << 4);
  }
  return true;
}

// ":<column>/<row>/<bytes per row>/<hex>[/<hex>...]" -> the first row and
// the rows' bytes.
bool ParseRecord(const Bytes& data, int* firstRow, std::vector<Bytes>* rows) {
  const std::string s(data.begin(), data.end());
  size_t at = 1;
  int column = 0, bytesPerRow = 0;
  if (s.empty() || s[0] != ':' || !Field(s, &at, &column) || !Field(s, &at, firstRow) ||
      !Field(s, &at, &bytesPerRow))
    return false;
  size_t digits = 0;
  for (;;) {
    const size_t end = std::min(s.find('/', at), s.size());
    const std::string row = s.substr(at, end - at);
    if (row.empty() || row.size() < 2 * static_cast<size_t>(bytesPerRow)) return false;
    if (digits != 0 && row.size() != digits) return false;
    digits = row.size();
    rows->emplace_back();
    if (!HexRow(row, &rows->back())) return false;
    if (end == s.size()) return true;
    at = end + 1;
  }
}

std::string Describe(const Reply& r) {
  return WithData("REPLY " + std::string(1, r.kind) + " " + r.code + " " + r.status, r.data);
}

// The block mode "IB" switches the line into. Every byte is consumed at
// once (a block may be longer than what the simulator keeps for a mode);
// what has not made a whole block yet waits here.
class BlockMode : public InputMode {
 public:
  BlockMode(ImageRam& ram, size_t blockSize) : ram_(ram), blockSize_(blockSize) {}

  size_t Feed(const uint8_t* p, size_t n, ModeIo& io) override {
    const size_t before = in_.size();
    in_.insert(in_.end(), p, p + n);
    size_t at = 0;
    while (at < in_.size()) {
      const uint8_t b = in_[at];
      if (b == kSoh) {
        if (in_.size() - at < blockSize_) break;
        ram_.TakeBlock(&in_[at], blockSize_, io);
        at += blockSize_;
        seenBlock_ = true;
      } else if (b == wire::EOT && at + 1 == in_.size()) {
        break;  // the ENQ may follow
      } else if (b == wire::EOT && in_[at + 1] == wire::ENQ) {
        io.RecordIn(Bytes{wire::EOT, wire::ENQ}, "POLL");
        ram_.SendVerdict(io);
        io.Finish();
        // The poll ends in this call's bytes (an earlier call would have
        // taken it); what follows it goes back to the frame parser.
        const size_t used = at + 2 - before;
        in_.clear();
        return used;
      } else if (b == wire::NAK && !seenBlock_) {
        io.RecordIn(Bytes{wire::NAK}, "NAK");
        io.ResendLast();  // the "IB" reply reached the host broken
        ++at;
      } else {
        size_t end = at + 1;
        while (end < in_.size() && in_[end] != kSoh && in_[end] != wire::EOT) ++end;
        io.RecordIn(Bytes(in_.begin() + static_cast<std::ptrdiff_t>(at),
                          in_.begin() + static_cast<std::ptrdiff_t>(end)),
                    "RAW [skipped]");
        at = end;
      }
    }
    in_.erase(in_.begin(), in_.begin() + static_cast<std::ptrdiff_t>(at));
    return n;
  }

 private:
  ImageRam& ram_;
  const size_t blockSize_;
  Bytes in_;
  bool seenBlock_ = false;
};

}  // namespace

size_t ImageRam::BlockSize() const { return 4 + 4 * ((static_cast<size_t>(width_) + 7) / 8); }

Answer ImageRam::OnPI(const Command& cmd) {
  Answer a;
  int first = 0;
  std::vector<Bytes> rows;
  if (!ParseRecord(cmd.data, &first, &rows)) {
    a.status = kBadParam;
    return a;
  }
  for (size_t i = 0; i < rows.size(); ++i) rows_[first + static_cast<int>(i)] = std::move(rows[i]);
  a.busyPolls = 1;
  return a;
}

Answer ImageRam::OnIB(const Command& cmd) {
  Answer a;
  if (!cmd.data.empty()) {
    a.status = kBadParam;
    return a;
  }
  a.mode = std::make_shared<BlockMode>(*this, BlockSize());
  a.modeStart = ModeStart::AfterReply;
  return a;
}

void ImageRam::TakeBlock(const uint8_t* block, size_t size, ModeIo& io) {
  const uint8_t n = block[1];
  const bool headerOk = (block[1] ^ block[2]) == 0xFF;
  uint8_t sum = 0;
  for (size_t i = 3; i + 1 < size; ++i) sum = static_cast<uint8_t>(sum + block[i]);
  const bool sumOk = sum == block[size - 1];
  std::string tag = "BLOCK " + std::to_string(n);
  if (!headerOk) tag += " [badheader]";
  if (!sumOk) tag += " [badsum]";
  io.RecordIn(Bytes(block, block + size), tag);

  Faults& f = model_.faults();
  if (f.ibSilent.Take()) return;
  const bool forced = n == f.ibNakBlock && f.ibNak.Take();
  const bool ack = headerOk && sumOk && !forced;
  if (ack) {
    const size_t rowBytes = (size - 4) / 4;
    const uint8_t* p = block + 3;
    for (int r = 0; r < 4; ++r, p += rowBytes) rows_[4 * n + r] = Bytes(p, p + rowBytes);
  }
  io.Send(Bytes{ack ? wire::ACK : wire::NAK}, ack ? "ACK" : forced ? "NAK [forced]" : "NAK");
}

void ImageRam::SendVerdict(ModeIo& io) {
  Faults& f = model_.faults();
  if (f.ibSilent.Take()) return;
  // The idle frame: STX kind code(2) status(2) data ETX BCC.
  const Bytes idle = model_.IdleFrame();
  Reply r;
  r.kind = static_cast<char>(idle[1]);
  r.code.assign(idle.begin() + 2, idle.begin() + 4);
  r.status.assign(idle.begin() + 4, idle.begin() + 6);
  r.data.assign(idle.begin() + 6, idle.end() - 2);
  if (!f.ibBadBcc.Take()) {
    io.SendReply(r);
    return;
  }
  Bytes bad = idle;
  bad.back() ^= 0xFF;
  io.Send(bad, Describe(r) + " [badbcc]");
}

bool ImageRam::Control(const std::vector<std::string>& w, std::string* error) {
  if (w[0] == "image") {
    if (w.size() != 2 || w[1] != "clear") {
      *error = "usage: image clear";
    } else {
      rows_.clear();
      error->clear();
    }
    return true;
  }
  if (w[0] == "ibwidth") {
    char* end = nullptr;
    const long v = w.size() == 2 ? std::strtol(w[1].c_str(), &end, 10) : 0;
    if (w.size() != 2 || w[1].empty() || *end != '\0' || v < 1 || v > kMaxField) {
      *error = "usage: ibwidth DOTS (1 to 32767)";
    } else {
      width_ = static_cast<int>(v);
      error->clear();
    }
    return true;
  }
  return false;
}

}  // namespace sim
