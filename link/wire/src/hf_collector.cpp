// ReadCommHF's byte-by-byte frame collector.
#include "wire/codec.h"

namespace wire {

bool HFCollector::Feed(uint8_t b) {
  if (state_ == State::Closed) Reset();
  if (buf_.size() >= limit_) return false;
  switch (state_) {
    case State::BeforeStx:
    case State::InFrame:
      if (b == STX) {
        buf_.clear();
        state_ = State::InFrame;
      } else if (b == ETX && state_ == State::InFrame) {
        state_ = State::AfterEtx;
      }
      buf_.push_back(b);
      return false;
    case State::AfterEtx:
    case State::Closed:
      break;
  }
  buf_.push_back(b);
  state_ = State::Closed;
  return true;
}

bool HFCollector::Complete() const {
  size_t n = buf_.size();
  return n >= 3 && buf_[0] == STX && buf_[n - 2] == ETX;
}

void HFCollector::Reset() {
  buf_.clear();
  state_ = State::BeforeStx;
}

}  // namespace wire
