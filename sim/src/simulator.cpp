// The simulator's service thread: it waits on the pty master (and a wake-up
// descriptor for control lines), hands what the host sends to the frame
// parser or an input mode, and writes the device's answers when they are
// due. It never spins: every wait is a ppoll() with a deadline, to the
// microsecond, so a paced line keeps its character times.
#include "simulator_impl.h"

#include <errno.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/ioctl.h>
#include <sys/prctl.h>
#include <unistd.h>

#include <chrono>

#include "line_events.h"
#include "text.h"
#include "wire/codec.h"

namespace sim {

namespace {

constexpr int kMaxWaitMs = 20;
constexpr size_t kReadChunk = 4096;
// A paced line catches up with characters the loop woke too late for, but
// never with more than this much of their time.
constexpr uint64_t kMaxPaceLagUs = kMaxWaitMs * 1000;

std::string HostTag(const HostEvent& ev) {
  std::string tag;
  switch (ev.kind) {
    case HostKind::Command:
      if (!ev.wellFormed) return "CMD" + std::string(ev.bccOk ? "" : " [badbcc]") + " [short]";
      tag = "CMD " + std::string(ev.payload.begin(), ev.payload.begin() + 2);
      tag = WithData(tag, Bytes(ev.payload.begin() + 2, ev.payload.end()));
      return ev.bccOk ? tag : tag + " [badbcc]";
    case HostKind::Poll: return "POLL";
    case HostKind::Ack: return "ACK";
    case HostKind::Nak: return "NAK";
    case HostKind::Data:
      tag = WithData("DATA", ev.payload);
      return ev.bccOk ? tag : tag + " [badbcc]";
    case HostKind::Binary:
      if (!ev.wellFormed) return "BIN [malformed]";
      tag = "BIN " + std::to_string(ev.payload.size());
      return ev.bccOk ? tag : tag + " [badbcc]";
    case HostKind::SynAck: return "SYN ACK";
    case HostKind::SynNak: return "SYN NAK";
    case HostKind::Raw:
      tag = WithData("RAW", ev.wire);
      return ev.rawWhy[0] ? tag + " [" + ev.rawWhy + "]" : tag;
  }
  return "?";
}

}  // namespace

// ---- the public face ----

Simulator::Simulator() : impl_(new Impl) {
  impl_->commands.reset(new CommandSet(*this, impl_->model, impl_->image));
  // The standard command set leaves these codes alone, so they stay
  // whatever "device standard" or "device plain" does.
  Impl* s = impl_.get();
  s->model.SetHandler("PI", [s](const Command& c) { return s->image.OnPI(c); });
  s->model.SetHandler("IB", [s](const Command& c) { return s->image.OnIB(c); });
  s->model.SetHandler("IC", [s](const Command& c) { return s->areas.OnIC(c); });
}

Simulator::~Simulator() { Stop(); }

bool Simulator::Start(const Options& options, std::string* error) {
  std::string err;
  if (!error) error = &err;
  Stop();
  Impl& s = *impl_;
  s.opts = options;
  if (options.com < 1) {
    *error = "bad COM number";
    return false;
  }
  const std::string link = options.dir + "/COM" + std::to_string(options.com);
  if (!s.transcript.Begin(options.transcriptPath)) {
    *error = "cannot create transcript " + options.transcriptPath;
    return false;
  }
  s.linesPath = link + ".lines";
  s.side = plat::SideChannel::Create(s.linesPath);
  if (!s.side) {
    *error = "cannot create side channel " + s.linesPath;
    return false;
  }
  s.lastHostLines = s.side->block()->hostLines.load();
  s.wakeFd = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
  if (s.wakeFd < 0 || !s.pty.Open(error) || !s.pty.Link(link, error)) {
    if (s.wakeFd < 0) *error = "eventfd failed";
    s.pty.Close();
    if (s.wakeFd >= 0) close(s.wakeFd);
    s.wakeFd = -1;
    s.side.reset();
    unlink(s.linesPath.c_str());
    s.transcript.End();
    return false;
  }
  s.stop = false;
  s.started = true;
  s.thread = std::thread([&s] { s.Loop(); });
  return true;
}

void Simulator::Stop() {
  Impl& s = *impl_;
  if (!s.started) return;
  s.stop = true;
  s.Wake();
  s.thread.join();
  std::lock_guard<std::recursive_mutex> lock(s.mu);
  s.started = false;
  s.threadId = std::thread::id();
  s.pty.Close();
  s.side.reset();
  unlink(s.linesPath.c_str());
  close(s.wakeFd);
  s.wakeFd = -1;
  s.out.Clear();
  s.timers.clear();
  s.mode.reset();
  s.transcript.End();
}

bool Simulator::running() const {
  std::lock_guard<std::recursive_mutex> lock(impl_->mu);
  return impl_->started;
}

std::string Simulator::Control(const std::string& line) { return impl_->Control(line); }

void Simulator::SetHandler(const std::string& code, CommandHandler handler) {
  std::lock_guard<std::recursive_mutex> lock(impl_->mu);
  impl_->model.SetHandler(code, std::move(handler));
}

void Simulator::RemoveHandler(const std::string& code) {
  std::lock_guard<std::recursive_mutex> lock(impl_->mu);
  impl_->model.RemoveHandler(code);
}

void Simulator::SetDataHandler(DataHandler handler) {
  std::lock_guard<std::recursive_mutex> lock(impl_->mu);
  impl_->model.SetDataHandler(std::move(handler));
}

void Simulator::SetBinaryHandler(BinaryHandler handler) {
  std::lock_guard<std::recursive_mutex> lock(impl_->mu);
  impl_->model.SetBinaryHandler(std::move(handler));
}

void Simulator::SetRawHandler(RawHandler handler) {
  std::lock_guard<std::recursive_mutex> lock(impl_->mu);
  impl_->model.SetRawHandler(std::move(handler));
}

std::vector<TranscriptEntry> Simulator::Transcript() const { return impl_->transcript.Snapshot(); }

void Simulator::ClearTranscript() { impl_->transcript.Clear(); }

bool Simulator::WaitForTranscript(
    const std::function<bool(const std::vector<TranscriptEntry>&)>& pred, int timeoutMs) const {
  return impl_->transcript.WaitFor(pred, timeoutMs);
}

namespace {
int Count(const std::vector<TranscriptEntry>& t, Dir dir, const std::string& prefix) {
  int n = 0;
  for (const TranscriptEntry& e : t)
    if (e.dir == dir && e.tag.compare(0, prefix.size(), prefix) == 0) ++n;
  return n;
}
}  // namespace

bool Simulator::WaitForTag(Dir dir, const std::string& tagPrefix, int count, int timeoutMs) const {
  return WaitForTranscript(
      [&](const std::vector<TranscriptEntry>& t) { return Count(t, dir, tagPrefix) >= count; },
      timeoutMs);
}

int Simulator::CountTag(Dir dir, const std::string& tagPrefix) const {
  return Count(Transcript(), dir, tagPrefix);
}

std::map<int, Bytes> Simulator::ImageRows() const {
  std::lock_guard<std::recursive_mutex> lock(impl_->mu);
  return impl_->image.rows();
}

std::vector<std::string> Simulator::PrintData() const {
  std::lock_guard<std::recursive_mutex> lock(impl_->mu);
  return impl_->commands->printBuffer().loaded();
}

std::vector<std::vector<std::string>> Simulator::PrintedCards() const {
  std::lock_guard<std::recursive_mutex> lock(impl_->mu);
  return impl_->commands->printBuffer().cards();
}

plat::SideChannelBlock* Simulator::Lines() const {
  std::lock_guard<std::recursive_mutex> lock(impl_->mu);
  return impl_->side ? impl_->side->block() : nullptr;
}

uint32_t Simulator::HostLines() const {
  plat::SideChannelBlock* b = Lines();
  return b ? b->hostLines.load() : 0;
}

std::string Simulator::LinkPath() const {
  std::lock_guard<std::recursive_mutex> lock(impl_->mu);
  return impl_->opts.dir + "/COM" + std::to_string(impl_->opts.com);
}

std::string Simulator::SlavePath() const {
  std::lock_guard<std::recursive_mutex> lock(impl_->mu);
  return impl_->pty.master() >= 0 ? impl_->pty.slavePath() : std::string();
}

std::string Simulator::LinesPath() const {
  std::lock_guard<std::recursive_mutex> lock(impl_->mu);
  return impl_->linesPath;
}

// ---- the service loop ----

uint64_t Simulator::Impl::NowUs() const {
  return static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::microseconds>(
                                   std::chrono::steady_clock::now().time_since_epoch())
                                   .count());
}

void Simulator::Impl::Wake() {
  const uint64_t one = 1;
  if (wakeFd >= 0) (void)!write(wakeFd, &one, sizeof one);
}

uint64_t Simulator::Impl::PollTimeoutUs(uint64_t nowUs) const {
  uint64_t wake = nowUs + kMaxWaitMs * 1000;
  auto earlier = [&](uint64_t t) {
    if (t != 0 && t < wake) wake = t;
  };
  earlier(out.NextUs());
  earlier(parser.DeadlineUs());
  if (!timers.empty()) earlier(timers.begin()->first);
  // A byte already due is waited for as POLLIN, not spun for.
  if (inPace.on() && inPace.NextUs() > nowUs) earlier(inPace.NextUs());
  return wake > nowUs ? wake - nowUs : 0;
}

void Simulator::Impl::Loop() {
  std::unique_lock<std::recursive_mutex> lock(mu);
  threadId = std::this_thread::get_id();
  // Character times of a paced line are tens of microseconds: the kernel's
  // default 50 us of timer slack would stretch every wait for one.
  prctl(PR_SET_TIMERSLACK, 1000UL, 0UL, 0UL, 0UL);
  while (!stop) {
    uint64_t now = NowUs();
    pollfd fds[2] = {{wakeFd, POLLIN, 0}, {-1, 0, 0}};
    nfds_t nfds = 1;
    const int master = pty.master();
    if (master >= 0) {
      short events = 0;
      if (!inPace.on() || inPace.NextUs() <= now) events |= POLLIN;
      if (out.blocked()) events |= POLLOUT;
      fds[1] = pollfd{master, events, 0};
      nfds = 2;
    }
    const uint64_t waitUs = PollTimeoutUs(now);
    const timespec timeout{static_cast<time_t>(waitUs / 1000000),
                           static_cast<long>(waitUs % 1000000 * 1000)};
    lock.unlock();
    const int ready = ppoll(fds, nfds, &timeout, nullptr);
    lock.lock();
    if (ready < 0 && errno != EINTR) break;
    if (fds[0].revents & POLLIN) {
      uint64_t v;
      (void)!read(wakeFd, &v, sizeof v);
    }
    if (stop) break;
    HandleRequests();
    now = NowUs();
    if (nfds == 2 && master == pty.master() && (fds[1].revents & POLLIN)) {
      ReadHost(now);
    } else if (fds[1].events & POLLIN) {
      inFlowing = false;  // asked for and none came: the host has stopped sending
    }
    RunTimers(now);
    HostEvent ev;
    if (parser.Tick(now, &ev)) HandleEvent(ev);
    if (mode) {
      modeFinish = false;
      mode->Tick(*this);
      if (modeFinish) {
        mode.reset();
        const Bytes rest = std::move(modeHeld);
        modeHeld.clear();
        Deliver(rest.data(), rest.size(), now);
      }
    }
    WatchHostLines();
    PumpOut(NowUs());
  }
}

void Simulator::Impl::ReadHost(uint64_t nowUs) {
  size_t want = kReadChunk;
  if (inPace.on()) {
    // The host's bytes cross the line one character time each from when they
    // came; while they keep coming, the characters whose time passed before
    // the loop woke are taken now.
    if (!inFlowing) {
      inPace.StartAt(nowUs);
      inFlowing = true;
    }
    const size_t due = inPace.Due(nowUs, kMaxPaceLagUs);
    if (due == 0) return;
    if (due < want) want = due;
  }
  uint8_t buf[kReadChunk];
  const ssize_t n = read(pty.master(), buf, want);
  if (n <= 0) {  // EAGAIN; EIO cannot come while the simulator holds the slave open
    inFlowing = false;
    return;
  }
  if (inPace.on()) {
    inPace.Took(static_cast<size_t>(n));
    // Taken all the host had written: its next bytes start afresh.
    int waiting = 0;
    inFlowing = ioctl(pty.master(), FIONREAD, &waiting) == 0 && waiting > 0;
    inAcrossUs = inPace.LastUs();
  }
  Deliver(buf, static_cast<size_t>(n), nowUs);
  inAcrossUs = 0;
}

void Simulator::Impl::Deliver(const uint8_t* p, size_t n, uint64_t nowUs) {
  size_t i = 0;
  while (i < n) {
    if (mode) {
      i += FeedMode(p + i, n - i, nowUs);
      continue;
    }
    HostEvent ev;
    bool got = false;
    i += parser.Feed(p + i, n - i, nowUs, &ev, &got);
    if (got) HandleEvent(ev);
  }
}

size_t Simulator::Impl::FeedMode(const uint8_t* p, size_t n, uint64_t nowUs) {
  modeHeld.insert(modeHeld.end(), p, p + n);
  modeFinish = false;
  std::shared_ptr<InputMode> m = mode;  // the mode may be left while it runs
  size_t used = m->Feed(modeHeld.data(), modeHeld.size(), *this);
  if (used > modeHeld.size()) used = modeHeld.size();
  Bytes rest(modeHeld.begin() + static_cast<std::ptrdiff_t>(used), modeHeld.end());
  modeHeld.clear();
  if (modeFinish || mode != m) {
    if (mode == m) mode.reset();
    Deliver(rest.data(), rest.size(), nowUs);
  } else {
    if (rest.size() > wire::kMaxFrame)
      rest.erase(rest.begin(), rest.end() - static_cast<std::ptrdiff_t>(wire::kMaxFrame));
    modeHeld = std::move(rest);
  }
  return n;
}

void Simulator::Impl::HandleEvent(const HostEvent& ev) {
  transcript.Add(Dir::Host, ev.wire, HostTag(ev));
  Queue(model.OnHost(ev));
  if (std::shared_ptr<InputMode> m = model.TakeMode()) {
    mode = std::move(m);
    modeHeld.clear();
  }
}

void Simulator::Impl::Queue(const Writes& writes) {
  const uint64_t now = AnswerUs();
  for (const Write& w : writes)
    out.Push(now + uint64_t{w.delayMs} * 1000, w.segments, uint64_t{w.gapMs} * 1000);
}

void Simulator::Impl::PumpOut(uint64_t nowUs) {
  if (pty.master() < 0) {
    out.Clear();  // talking into a pulled cable
    return;
  }
  const bool ok = out.Pump(pty.master(), nowUs, [this](const std::vector<Segment>& segs) {
    const uint32_t ms = transcript.NowMs();
    for (const Segment& s : segs) transcript.AddAt(ms, Dir::Device, s.bytes, s.tag);
  });
  if (!ok) out.Clear();
}

void Simulator::Impl::After(uint32_t ms, std::function<void()> fn) {
  timers.emplace(NowUs() + uint64_t{ms} * 1000, std::move(fn));
  Wake();
}

void Simulator::Impl::RunTimers(uint64_t nowUs) {
  while (!timers.empty() && timers.begin()->first <= nowUs) {
    std::function<void()> fn = std::move(timers.begin()->second);
    timers.erase(timers.begin());
    fn();
  }
}

void Simulator::Impl::WatchHostLines() {
  if (!side) return;
  const uint32_t v = side->block()->hostLines.load();
  if (v == lastHostLines) return;
  lastHostLines = v;
  transcript.Add(Dir::Line, {}, "HOST " + DescribeHostLines(v));
}

void Simulator::Impl::Send(const Bytes& bytes, const std::string& tag) {
  out.Push(AnswerUs(), {Segment{bytes, tag}});
  Wake();
}

void Simulator::Impl::SendReply(const Reply& reply) {
  Queue(model.ModeReply(reply));
  Wake();
}

void Simulator::Impl::ResendLast() {
  Queue(model.Resend());
  Wake();
}

void Simulator::Impl::RecordIn(const Bytes& bytes, const std::string& tag) {
  transcript.Add(Dir::Host, bytes, tag);
}

// ---- hang-up and replug, run on the service thread ----

void Simulator::Impl::DoHangUp() {
  pty.HangUp();
  out.Clear();
  parser.Reset();
  mode.reset();
  transcript.Add(Dir::Line, {}, "HANGUP");
}

bool Simulator::Impl::DoReplug(std::string* error) {
  const std::string link = pty.linkPath().empty()
                               ? opts.dir + "/COM" + std::to_string(opts.com)
                               : pty.linkPath();
  pty.Close();
  out.Clear();
  parser.Reset();
  mode.reset();
  if (!pty.Open(error) || !pty.Link(link, error)) return false;
  transcript.Add(Dir::Line, {}, "REPLUG " + pty.slavePath());
  return true;
}

void Simulator::Impl::HandleRequests() {
  if (!hangupRequested && !replugRequested) return;
  if (hangupRequested) DoHangUp();
  if (replugRequested && !DoReplug(&requestError) && requestError.empty())
    requestError = "replug failed";
  hangupRequested = replugRequested = false;
  requestDone.notify_all();
}

std::string Simulator::Impl::Request(bool* flag) {
  std::unique_lock<std::recursive_mutex> lock(mu);
  if (!started) return "not running";
  requestError.clear();
  if (std::this_thread::get_id() == threadId) {
    *flag = true;
    HandleRequests();
    return requestError;
  }
  *flag = true;
  Wake();
  requestDone.wait_for(lock, std::chrono::seconds(5), [&] { return !*flag; });
  return *flag ? "the service thread did not answer" : requestError;
}

}  // namespace sim
