// Text frames: BCC, the frames the library and the device build, and the
// frame scan of ReadComm.
#include "wire/codec.h"

namespace wire {

uint8_t CalcBCC(const uint8_t* p, size_t n) {
  size_t i = 0;
  while (i < n && p[i] != STX) ++i;
  uint8_t bcc = 0;
  for (++i; i < n; ++i) {
    if (p[i] == STX) continue;
    bcc ^= p[i];
    if (p[i] == ETX) break;
  }
  return bcc;
}

namespace {

// Closes a frame built so far: ETX, then the BCC over everything before it.
void CloseFrame(Bytes* f) {
  f->push_back(ETX);
  f->push_back(CalcBCC(f->data(), f->size()));
}

}  // namespace

Bytes TextCommandFrame(const uint8_t code[2], const uint8_t* data, size_t len) {
  Bytes f;
  f.reserve(len + 6);
  f.push_back(EOT);
  f.push_back(STX);
  f.push_back(code[0]);
  f.push_back(code[1]);
  f.insert(f.end(), data, data + len);
  CloseFrame(&f);
  return f;
}

Bytes PollFrame() { return Bytes{EOT, ENQ}; }

Bytes DataFrame(const uint8_t* data, size_t len) {
  Bytes f;
  f.reserve(len + 3);
  f.push_back(STX);
  f.insert(f.end(), data, data + len);
  CloseFrame(&f);
  return f;
}

Bytes ResponseFrame(uint8_t kind, const char code[2], const char status[2], const uint8_t* data,
                    size_t len) {
  Bytes f;
  f.reserve(len + 8);
  f.push_back(STX);
  f.push_back(kind);
  f.push_back(static_cast<uint8_t>(code[0]));
  f.push_back(static_cast<uint8_t>(code[1]));
  f.push_back(static_cast<uint8_t>(status[0]));
  f.push_back(static_cast<uint8_t>(status[1]));
  f.insert(f.end(), data, data + len);
  CloseFrame(&f);
  return f;
}

bool FrameBccOk(const uint8_t* frame, size_t n) {
  return n >= 3 && frame[n - 1] == CalcBCC(frame, n);
}

bool FindLastFrame(const uint8_t* p, size_t n, size_t* start, size_t* len) {
  bool found = false;
  bool open = false;
  size_t from = 0;
  for (size_t i = 0; i < n; ++i) {
    if (p[i] == STX) {
      open = true;
      from = i;
    } else if (open && p[i] == ETX) {
      if (i + 1 >= n) break;  // its BCC has not arrived yet
      *start = from;
      *len = i + 2 - from;
      found = true;
      open = false;
      ++i;  // the BCC, whatever its value, belongs to this frame
    }
  }
  return found;
}

}  // namespace wire
