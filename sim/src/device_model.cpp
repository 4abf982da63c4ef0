#include "device_model.h"

#include <algorithm>

#include "text.h"
#include "wire/codec.h"

namespace sim {

namespace {

// Codes and status fields are two bytes on the wire.
std::string Two(const std::string& s) {
  std::string t = s.substr(0, 2);
  while (t.size() < 2) t += '0';
  return t;
}

Bytes ReplyFrame(const Reply& r) {
  const std::string code = Two(r.code), status = Two(r.status);
  return wire::ResponseFrame(static_cast<uint8_t>(r.kind), code.data(), status.data(),
                             r.data.data(), r.data.size());
}

// Frames are built from the STX on; the BCC is always the last byte.
void FixBcc(Bytes* f) { f->back() = wire::CalcBCC(f->data(), f->size()); }

std::string Flags(const std::vector<const char*>& flags) {
  if (flags.empty()) return "";
  std::string s = " [";
  for (size_t i = 0; i < flags.size(); ++i) s += (i ? "," : "") + std::string(flags[i]);
  return s + "]";
}

// "REPLY A ST 90 data" from a reply frame (at least STX kind code status ETX BCC).
std::string DescribeReply(const Bytes& f) {
  if (f.size() < 8) return "REPLY " + Printable(f);
  std::string tag = "REPLY ";
  tag += static_cast<char>(f[1]);
  tag += ' ';
  tag.append(f.begin() + 2, f.begin() + 4);
  tag += ' ';
  tag.append(f.begin() + 4, f.begin() + 6);
  return WithData(tag, Bytes(f.begin() + 6, f.end() - 2));
}

std::string DescribeData(const Bytes& f) {
  return f.size() < 3 ? "DATA " + Printable(f) : WithData("DATA", Bytes(f.begin() + 1, f.end() - 2));
}

const Bytes kSynAck{wire::SYN, wire::ACK};
const Bytes kSynNak{wire::SYN, wire::NAK};
// An answer pair the host cannot take for SYN ACK or SYN NAK.
const Bytes kGarbagePair{wire::SYN, 0x3F};

}  // namespace

DeviceModel::DeviceModel() = default;

void DeviceModel::SetHandler(const std::string& code, CommandHandler h) {
  handlers_[code] = std::move(h);
}
void DeviceModel::RemoveHandler(const std::string& code) { handlers_.erase(code); }

void DeviceModel::SetIdle(const std::string& state, const std::string& aux, const Bytes& data) {
  idleState_ = Two(state);
  idleAux_ = Two(aux);
  idleData_ = data;
}

void DeviceModel::SetDataReply(bool on, const Bytes& data) {
  dataReplyOn_ = on;
  dataReply_ = data;
}

void DeviceModel::SetRawAnswer(bool on, const Bytes& answer) {
  rawAnswerOn_ = on;
  rawAnswer_ = answer;
}

void DeviceModel::SetBinReport(const Bytes& data, int count) {
  binReport_.left = count;
  binReportData_ = data;
}

void DeviceModel::Reset() {
  faults_.Clear();
  canned_.clear();
  idleState_ = idleAux_ = "00";
  idleData_.clear();
  SetDataReply(false, {});
  SetRawAnswer(false, {});
  SetBinReport({}, 0);
  job_ = Job{};
  newMode_.reset();
  lastFrame_.clear();
  lastBinary_ = LastBinary::None;
  reportPending_ = false;
}

std::shared_ptr<InputMode> DeviceModel::TakeMode() { return std::move(newMode_); }

Bytes DeviceModel::IdleFrame() const {
  return ReplyFrame(Reply{'R', idleState_, idleAux_, idleData_});
}

Writes DeviceModel::OnHost(const HostEvent& ev) {
  switch (ev.kind) {
    case HostKind::Command: return OnCommand(ev);
    case HostKind::Poll: return OnPoll();
    case HostKind::Nak: return OnNak();
    case HostKind::Data: return OnData(ev);
    case HostKind::Binary: return OnBinary(ev);
    case HostKind::SynNak: return OnSynNak();
    case HostKind::Raw: return OnRaw(ev);
    case HostKind::Ack:
    case HostKind::SynAck: return {};
  }
  return {};
}

// ---- text commands and polls ----

Answer DeviceModel::Decide(const Command& cmd) {
  auto c = canned_.find(cmd.code);
  if (c != canned_.end()) {
    Answer a;
    a.accept = c->second.accept;
    a.busyPolls = c->second.busyPolls;
    a.kind = c->second.kind;
    a.status = c->second.status;
    a.data = c->second.data;
    return a;
  }
  auto h = handlers_.find(cmd.code);
  if (h == handlers_.end()) h = handlers_.find("");  // the handler for every other code
  if (h != handlers_.end() && h->second) return h->second(cmd);
  return Answer{};
}

void DeviceModel::StartJob(const std::string& code, const Answer& a) {
  job_ = Job{};
  job_.active = true;
  job_.code = code;
  job_.busyLeft = a.busyPolls > 0 ? a.busyPolls : 0;
  job_.busyStatus = a.busyStatus;
  job_.replies.push_back(Reply{a.kind, code, a.status, a.data});
  for (Reply r : a.more) {
    if (r.code.empty()) r.code = code;
    job_.replies.push_back(std::move(r));
  }
  if (a.modeStart == ModeStart::AfterAck) {
    newMode_ = a.mode;
  } else {
    job_.mode = a.mode;
  }
  job_.driver = a.driver;
  // Faults that put replies in front of the command's own.
  for (int i = faults_.still.Take() ? faults_.stillPolls : 0; i > 0; --i)
    job_.first.push_back(Reply{'A', code, "12", {}});
  if (faults_.otherBusy.Take()) job_.first.push_back(Reply{'B', faults_.otherCode, "00", {}});
}

Writes DeviceModel::AckWrites(bool ack) {
  Write w;
  if (faults_.ackDelay.Take()) w.delayMs = faults_.ackDelayMs;
  w.segments.push_back(Segment{Bytes{ack ? wire::ACK : wire::NAK}, ack ? "ACK" : "NAK"});
  return Writes{w};
}

Writes DeviceModel::OnCommand(const HostEvent& ev) {
  if (faults_.silent.Take()) return {};
  if (!ev.wellFormed || !ev.bccOk || faults_.nak.Take()) return AckWrites(false);
  Command cmd;
  cmd.code.assign(ev.payload.begin(), ev.payload.begin() + 2);
  cmd.data.assign(ev.payload.begin() + 2, ev.payload.end());
  Answer a = Decide(cmd);
  if (a.deaf) return {};
  if (!a.accept) return AckWrites(false);
  if (faults_.busy.Take()) a.busyPolls = faults_.busyPolls;
  StartJob(cmd.code, a);
  if (faults_.noAck.Take()) return {};
  return AckWrites(true);
}

bool DeviceModel::NextReply(Reply* r) {
  if (job_.active) {
    if (!job_.first.empty()) {
      *r = std::move(job_.first.front());
      job_.first.pop_front();
      return true;
    }
    if (job_.driver) {
      *r = Reply{'B', job_.code, "00", {}};
      const PollDriver driver = job_.driver;  // it may end the job while it runs
      const Step step = driver(r);
      if (r->code.empty()) r->code = job_.code;
      switch (step) {
        case Step::Reply: return true;
        case Step::Silent: return false;
        case Step::Last:
          newMode_ = std::move(job_.mode);
          job_ = Job{};
          return true;
        case Step::Done: job_.driver = nullptr; break;
      }
    }
    if (job_.busyLeft > 0) {
      --job_.busyLeft;
      *r = Reply{'B', job_.code, job_.busyStatus, {}};
      return true;
    }
    if (!job_.replies.empty()) {
      *r = std::move(job_.replies.front());
      job_.replies.pop_front();
      if (job_.replies.empty()) {
        job_.active = false;
        newMode_ = std::move(job_.mode);
      }
      return true;
    }
    job_.active = false;
  }
  *r = Reply{'R', idleState_, idleAux_, idleData_};
  return true;
}

Writes DeviceModel::OnPoll() {
  if (faults_.silent.Take() || faults_.noPoll.Take()) return {};
  Reply r;
  if (!NextReply(&r)) return {};
  lastFrame_ = ReplyFrame(r);
  lastIsReply_ = true;
  return FrameWrites(lastFrame_, true, false);
}

Writes DeviceModel::OnNak() {
  if (lastFrame_.empty() || faults_.silent.Take()) return {};
  return FrameWrites(lastFrame_, lastIsReply_, true);
}

Writes DeviceModel::ModeReply(const Reply& r) {
  lastFrame_ = ReplyFrame(r);
  lastIsReply_ = true;
  return FrameWrites(lastFrame_, true, false);
}

Writes DeviceModel::Resend() {
  if (lastFrame_.empty()) return {};
  return FrameWrites(lastFrame_, lastIsReply_, true);
}

Writes DeviceModel::FrameWrites(const Bytes& frame, bool isReply, bool resend) {
  Bytes out = frame;
  std::vector<const char*> flags;
  if (resend) flags.push_back("resend");
  if (isReply && faults_.longReply.Take()) {
    Bytes data(faults_.longLen);
    for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<uint8_t>('0' + i % 10);
    const std::string code(frame.begin() + 2, frame.begin() + 4);
    const std::string status(frame.begin() + 4, frame.begin() + 6);
    out = ReplyFrame(Reply{static_cast<char>(frame[1]), code, status, data});
    flags.push_back("long");
  }
  if (isReply && faults_.kind.Take()) {
    out[1] = static_cast<uint8_t>(faults_.kindByte);
    FixBcc(&out);
    flags.push_back("kind");
  }
  if (faults_.badBcc.Take()) {
    out.back() ^= 0xFF;
    flags.push_back("badbcc");
  }
  std::vector<Segment> segs;
  if (faults_.noise.Take()) segs.push_back(Segment{faults_.noiseBytes, "NOISE"});
  if (faults_.stale.Take()) {
    const Bytes idle = IdleFrame();
    segs.push_back(Segment{idle, "STALE " + DescribeReply(idle)});
  }
  const std::string tag = (isReply ? DescribeReply(out) : DescribeData(out)) + Flags(flags);
  segs.push_back(Segment{std::move(out), tag});
  return Shape(std::move(segs));
}

// Applies the delay and split knobs to what would otherwise be one write.
Writes DeviceModel::Shape(std::vector<Segment> segs) {
  const uint32_t delay = faults_.delay.Take() ? faults_.delayMs : 0;
  if (!faults_.split.Take() || faults_.splitSize == 0) return Writes{Write{delay, std::move(segs)}};
  Bytes all;
  std::string tags;
  for (const Segment& s : segs) {
    all.insert(all.end(), s.bytes.begin(), s.bytes.end());
    tags += (tags.empty() ? "" : " + ") + s.tag;
  }
  const size_t parts = (all.size() + faults_.splitSize - 1) / faults_.splitSize;
  Writes out;
  for (size_t i = 0; i < parts; ++i) {
    const size_t from = i * faults_.splitSize;
    const size_t to = std::min(all.size(), from + faults_.splitSize);
    Write w;
    w.delayMs = delay;
    if (i > 0) w.gapMs = faults_.splitGapMs;
    w.segments.push_back(Segment{Bytes(all.begin() + from, all.begin() + to),
                                 "PART " + std::to_string(i + 1) + "/" + std::to_string(parts) +
                                     " " + tags});
    out.push_back(std::move(w));
  }
  return out;
}

// ---- data frames ----

Writes DeviceModel::OnData(const HostEvent& ev) {
  if (faults_.silent.Take()) return {};
  if (!ev.bccOk || faults_.nak.Take()) return AckWrites(false);
  DataAnswer d;
  if (dataReplyOn_) {
    d.reply = true;
    d.replyData = dataReply_;
  } else if (dataHandler_) {
    d = dataHandler_(ev.payload);
  }
  if (!d.accept) return AckWrites(false);
  if (faults_.noAck.Take()) return {};
  Writes out = AckWrites(true);
  if (!d.reply) return out;
  lastFrame_ = wire::DataFrame(d.replyData.data(), d.replyData.size());
  lastIsReply_ = false;
  Writes reply = FrameWrites(lastFrame_, false, false);
  // ACK and reply leave in one write unless a fault spaced them.
  if (out.size() == 1 && reply.size() == 1 && out[0].delayMs == reply[0].delayMs) {
    for (Segment& s : reply[0].segments) out[0].segments.push_back(std::move(s));
    return out;
  }
  out.insert(out.end(), reply.begin(), reply.end());
  return out;
}

// ---- binary frames ----

Segment DeviceModel::ReportSegment(const Bytes& data, bool resend, BinSendKind how) {
  Bytes f = wire::BinaryFrame(data.data(), data.size());
  std::vector<const char*> flags;
  if (resend) flags.push_back("resend");
  if (how == BinSendKind::BadBcc || faults_.binBadBcc.Take()) {
    f.back() ^= 0xFF;
    flags.push_back("badbcc");
  }
  if (how == BinSendKind::Malformed || faults_.binMalformed.Take()) {
    f[1] = '@';
    flags.push_back("malformed");
  }
  return Segment{std::move(f), "BIN " + std::to_string(data.size()) + Flags(flags)};
}

Writes DeviceModel::PairWrites(bool ack, bool resend) {
  Segment pair{ack ? kSynAck : kSynNak, std::string(ack ? "SYN ACK" : "SYN NAK")};
  if (faults_.binAnswer.Take()) {
    switch (faults_.binAnswerFault) {
      case BinAnswerFault::Ack: pair = Segment{kSynAck, "SYN ACK"}; break;
      case BinAnswerFault::Nak: pair = Segment{kSynNak, "SYN NAK"}; break;
      case BinAnswerFault::Garbage: pair = Segment{kGarbagePair, "GARBAGE"}; break;
      case BinAnswerFault::Silent: return {};
    }
    pair.tag += " [forced]";
  }
  if (resend) pair.tag += " [resend]";
  Write w;
  const bool ackOnWire = pair.bytes == kSynAck;
  w.segments.push_back(std::move(pair));
  if (ackOnWire && reportPending_) {
    w.segments.push_back(ReportSegment(pendingReport_, false, BinSendKind::Good));
    lastBinary_ = LastBinary::Report;
    lastReportData_ = std::move(pendingReport_);
    reportPending_ = false;
  }
  return Writes{w};
}

Writes DeviceModel::OnBinary(const HostEvent& ev) {
  if (faults_.silent.Take()) return {};
  bool ack = false;
  reportPending_ = false;
  if (ev.wellFormed && ev.bccOk) {
    BinaryAnswer b = binaryHandler_ ? binaryHandler_(ev.payload) : BinaryAnswer{};
    ack = b.accept;
    if (ack && binReport_.Take()) {
      b.report = true;
      b.reportData = binReportData_;
    }
    reportPending_ = ack && b.report;
    pendingReport_ = b.reportData;
  }
  lastBinary_ = LastBinary::Pair;
  lastPairAck_ = ack;
  return PairWrites(ack, false);
}

Writes DeviceModel::OnSynNak() {
  if (lastBinary_ == LastBinary::None || faults_.silent.Take()) return {};
  if (lastBinary_ == LastBinary::Pair) return PairWrites(lastPairAck_, true);
  return Writes{Write{0, {ReportSegment(lastReportData_, true, BinSendKind::Good)}}};
}

Writes DeviceModel::BinSend(const Bytes& data, BinSendKind how) {
  lastBinary_ = LastBinary::Report;
  lastReportData_ = data;
  return Writes{Write{0, {ReportSegment(data, false, how)}}};
}

// ---- raw bytes ----

Writes DeviceModel::OnRaw(const HostEvent& ev) {
  if (ev.rawWhy[0] != '\0') return {};  // a broken frame gets no answer
  Bytes answer;
  if (rawAnswerOn_) {
    answer = rawAnswer_;
  } else if (rawHandler_) {
    answer = rawHandler_(ev.wire);
  }
  if (answer.empty() || faults_.silent.Take()) return {};
  std::string tag = "RAW";
  if (answer == Bytes{wire::ACK}) tag = "ACK";
  if (answer == Bytes{wire::NAK}) tag = "NAK";
  return Writes{Write{0, {Segment{std::move(answer), tag}}}};
}

}  // namespace sim
