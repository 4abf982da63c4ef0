// The simulator's insides, shared by the service loop (simulator.cpp) and
// the control language (control.cpp).
#pragma once
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "command_set.h"
#include "device_model.h"
#include "host_parser.h"
#include "image_areas.h"
#include "image_ram.h"
#include "line_pace.h"
#include "output_queue.h"
#include "platform/side_channel.h"
#include "pty_line.h"
#include "sim/simulator.h"
#include "transcript.h"

namespace sim {

struct Simulator::Impl : ModeIo {
  Options opts;
  // Guards everything below but the transcript (which has its own lock).
  // Recursive: handlers run under it and may call Control.
  mutable std::recursive_mutex mu;
  std::condition_variable_any requestDone;

  PtyLine pty;
  std::unique_ptr<plat::SideChannel> side;
  std::string linesPath;
  HostParser parser;
  DeviceModel model;
  ImageRam image{model};  // "PI" and "IB", for the plain and the standard device
  ImageAreas areas{image};  // "IC:", the stored image areas
  OutputQueue out;
  TranscriptLog transcript;
  std::unique_ptr<CommandSet> commands;  // the standard device ("device standard")

  std::shared_ptr<InputMode> mode;
  Bytes modeHeld;
  bool modeFinish = false;

  std::multimap<uint64_t, std::function<void()>> timers;
  LinePace inPace;  // bytes taken from the host; off: as fast as they come
  // While paced bytes are handed on: when the last of them was across. The
  // device answers from then, not from when the loop woke to take them.
  uint64_t inAcrossUs = 0;
  bool inFlowing = false;  // the host's bytes are crossing the paced line
  uint32_t lastHostLines = 0;

  std::thread thread;
  std::thread::id threadId;
  std::atomic<bool> stop{false};
  bool started = false;
  int wakeFd = -1;
  bool hangupRequested = false;
  bool replugRequested = false;
  std::string requestError;

  // ---- service loop (simulator.cpp) ----
  void Loop();
  void Wake();
  uint64_t PollTimeoutUs(uint64_t nowUs) const;
  void ReadHost(uint64_t nowUs);
  void Deliver(const uint8_t* p, size_t n, uint64_t nowUs);
  size_t FeedMode(const uint8_t* p, size_t n, uint64_t nowUs);
  void HandleEvent(const HostEvent& ev);
  void Queue(const Writes& writes);
  void PumpOut(uint64_t nowUs);
  void RunTimers(uint64_t nowUs);
  void WatchHostLines();
  void HandleRequests();
  void DoHangUp();
  bool DoReplug(std::string* error);
  // Runs a hang-up or replug on the service thread and waits for it.
  std::string Request(bool* flag);
  void After(uint32_t ms, std::function<void()> fn);
  uint64_t NowUs() const;
  // The time an answer to what is being handed on counts from.
  uint64_t AnswerUs() const { return inAcrossUs ? inAcrossUs : NowUs(); }

  // ---- control language (control.cpp) ----
  std::string Control(const std::string& line);
  // One tokenized line, with the simulator locked; "" or the error.
  std::string Apply(const std::vector<std::string>& words, const std::string& line);

  // ---- ModeIo ----
  void Send(const Bytes& bytes, const std::string& tag) override;
  void SendReply(const Reply& reply) override;
  void ResendLast() override;
  void RecordIn(const Bytes& bytes, const std::string& tag) override;
  void Finish() override { modeFinish = true; }
  uint32_t NowMs() const override { return transcript.NowMs(); }
};

}  // namespace sim
