#include "host_parser.h"

#include "wire/codec.h"

namespace sim {

namespace {

// Bytes that end a run of raw bytes: each may begin something the device
// answers.
bool StartsSomething(uint8_t b) {
  return b == wire::EOT || b == wire::STX || b == wire::SYN || b == wire::ACK || b == wire::NAK;
}

}  // namespace

void HostParser::Reset() {
  st_ = State::Idle;
  buf_.clear();
}

void HostParser::Emit(HostKind kind, HostEvent* ev, bool* got) {
  *ev = HostEvent{};
  ev->kind = kind;
  ev->wire.swap(buf_);
  buf_.clear();
  st_ = State::Idle;
  *got = true;
}

void HostParser::EmitRaw(const char* why, HostEvent* ev, bool* got) {
  Emit(HostKind::Raw, ev, got);
  ev->rawWhy = why;
}

void HostParser::FinishText(HostEvent* ev, bool* got) {
  const bool command = textIsCommand_;
  Emit(command ? HostKind::Command : HostKind::Data, ev, got);
  const Bytes& w = ev->wire;
  ev->bccOk = wire::FrameBccOk(w.data(), w.size());
  // Command: EOT STX code data ETX BCC; data frame: STX data ETX BCC.
  const size_t from = command ? 2 : 1;
  const size_t to = w.size() - 2;  // the ETX
  if (to > from) ev->payload.assign(w.begin() + from, w.begin() + to);
  if (command) ev->wellFormed = ev->payload.size() >= 2;
}

void HostParser::FinishBinary(bool wellFormed, HostEvent* ev, bool* got) {
  Emit(HostKind::Binary, ev, got);
  ev->wellFormed = wellFormed;
  ev->bccOk = false;
  if (!wellFormed) return;
  Bytes plain;
  if (wire::UnstuffBinaryFrame(ev->wire.data(), ev->wire.size(), &plain)) {
    bool ok = false;
    if (wire::SplitBinaryFrame(plain.data(), plain.size(), &ev->payload, &ok)) {
      ev->bccOk = ok;
      return;
    }
  }
  ev->wellFormed = false;
}

bool HostParser::NotAFrame(uint8_t b, HostEvent* ev, bool* got) {
  if (StartsSomething(b)) {
    EmitRaw("", ev, got);
    return false;  // b is looked at again as the start of what it begins
  }
  buf_.push_back(b);
  st_ = State::Raw;
  return true;
}

bool HostParser::Step(uint8_t b, HostEvent* ev, bool* got) {
  switch (st_) {
    case State::Idle:
      buf_.assign(1, b);
      if (b == wire::EOT) {
        st_ = State::AfterEot;
      } else if (b == wire::STX) {
        st_ = State::Text;
        textIsCommand_ = false;
      } else if (b == wire::SYN) {
        st_ = State::AfterSyn;
      } else if (b == wire::ACK) {
        Emit(HostKind::Ack, ev, got);
      } else if (b == wire::NAK) {
        Emit(HostKind::Nak, ev, got);
      } else {
        st_ = State::Raw;
      }
      return true;

    case State::Raw:
      if (StartsSomething(b)) {
        EmitRaw("", ev, got);
        return false;
      }
      buf_.push_back(b);
      if (buf_.size() >= wire::kMaxFrame) EmitRaw("", ev, got);
      return true;

    case State::AfterEot:
      if (b == wire::STX) {
        buf_.push_back(b);
        st_ = State::Text;
        textIsCommand_ = true;
        return true;
      }
      if (b == wire::ENQ) {
        buf_.push_back(b);
        Emit(HostKind::Poll, ev, got);
        return true;
      }
      return NotAFrame(b, ev, got);

    case State::Text:
      buf_.push_back(b);
      if (b == wire::ETX) {
        st_ = State::TextBcc;
      } else if (buf_.size() >= wire::kMaxFrame) {
        EmitRaw("overflow", ev, got);
      }
      return true;

    case State::TextBcc:
      buf_.push_back(b);
      FinishText(ev, got);
      return true;

    case State::AfterSyn:
      if (b == wire::STX) {
        buf_.push_back(b);
        st_ = State::Binary;
        return true;
      }
      if (b == wire::ACK || b == wire::NAK) {
        buf_.push_back(b);
        Emit(b == wire::ACK ? HostKind::SynAck : HostKind::SynNak, ev, got);
        return true;
      }
      return NotAFrame(b, ev, got);

    case State::Binary:
      buf_.push_back(b);
      if (b == wire::SYN) {
        st_ = State::BinarySyn;
      } else if (buf_.size() >= wire::kMaxFrame) {
        EmitRaw("overflow", ev, got);
      }
      return true;

    case State::BinarySyn:
      if (b == wire::SYN) {
        buf_.push_back(b);  // a doubled SYN: one data byte 0x16
        st_ = State::Binary;
        if (buf_.size() >= wire::kMaxFrame) EmitRaw("overflow", ev, got);
        return true;
      }
      if (b == wire::ETX) {
        buf_.push_back(b);
        st_ = State::BinaryBcc;
        return true;
      }
      // Any other byte breaks the frame; the SYN may begin a control pair or
      // a new frame, so it is read again with this byte.
      buf_.pop_back();
      FinishBinary(false, ev, got);
      buf_.assign(1, wire::SYN);
      st_ = State::AfterSyn;
      return false;

    case State::BinaryBcc:
      buf_.push_back(b);
      FinishBinary(true, ev, got);
      return true;
  }
  return true;
}

size_t HostParser::Feed(const uint8_t* p, size_t n, uint64_t nowUs, HostEvent* ev, bool* got) {
  *got = false;
  size_t used = 0;
  while (used < n && !*got) {
    if (Step(p[used], ev, got)) {
      ++used;
      lastUs_ = nowUs;
    }
  }
  return used;
}

uint64_t HostParser::DeadlineUs() const {
  if (st_ == State::Idle) return 0;
  return lastUs_ + (st_ == State::Raw ? rawGapUs_ : frameTimeoutUs_);
}

bool HostParser::Tick(uint64_t nowUs, HostEvent* ev) {
  const uint64_t due = DeadlineUs();
  if (due == 0 || nowUs < due) return false;
  bool got = false;
  EmitRaw(st_ == State::Raw ? "" : "partial", ev, &got);
  return true;
}

}  // namespace sim
