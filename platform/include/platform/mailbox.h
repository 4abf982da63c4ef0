// Per-thread mailbox: a FIFO of records and an eventfd that is readable while
// records wait. Any thread may post to a mailbox; only its own thread
// dispatches it. Stands in for posting a message to a hidden window.
#pragma once
#include <deque>
#include <functional>
#include <memory>
#include <mutex>

#include "platform/wake_event.h"

namespace plat {

class Mailbox {
 public:
  using Record = std::function<void()>;

  // The calling thread's mailbox, created on first use. Lives as long as any
  // holder keeps it; after its thread ends, posts are dropped.
  static std::shared_ptr<Mailbox> ForThisThread();
  // The calling thread's mailbox if it has one, else null.
  static std::shared_ptr<Mailbox> PeekThisThread();

  ~Mailbox();
  Mailbox(const Mailbox&) = delete;
  Mailbox& operator=(const Mailbox&) = delete;

  int fd() const { return ready_.fd(); }
  // Queues a record; false when the owning thread has ended (record dropped).
  bool Post(Record r);
  // Runs every record queued when called, one at a time and with no lock
  // held, so a record may post or dispatch again. Returns how many ran.
  // Call only from the owning thread.
  size_t Dispatch();
  size_t Pending() const;

 private:
  Mailbox();
  void Close();
  friend struct MailboxThreadHolder;
  WakeEvent ready_;
  mutable std::mutex mu_;
  std::deque<Record> queue_;
  bool closed_ = false;
};

}  // namespace plat
