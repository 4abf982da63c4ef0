#include "platform/mailbox.h"

namespace plat {

// Keeps the thread's mailbox and closes it when the thread ends, so records
// posted for a thread that can no longer dispatch are refused.
struct MailboxThreadHolder {
  std::shared_ptr<Mailbox> box;
  ~MailboxThreadHolder() {
    if (box) box->Close();
  }
};

namespace {
thread_local MailboxThreadHolder t_holder;
}  // namespace

std::shared_ptr<Mailbox> Mailbox::ForThisThread() {
  if (!t_holder.box) t_holder.box.reset(new Mailbox());
  return t_holder.box;
}

std::shared_ptr<Mailbox> Mailbox::PeekThisThread() { return t_holder.box; }

Mailbox::Mailbox() = default;
Mailbox::~Mailbox() = default;

// The eventfd is readable exactly while the queue holds records: it is
// signalled when the queue stops being empty and cleared when it becomes
// empty, both under the mutex.
bool Mailbox::Post(Record r) {
  std::lock_guard<std::mutex> lock(mu_);
  if (closed_) return false;
  queue_.push_back(std::move(r));
  if (queue_.size() == 1) ready_.Signal();
  return true;
}

size_t Mailbox::Dispatch() {
  size_t budget;
  {
    std::lock_guard<std::mutex> lock(mu_);
    budget = queue_.size();
  }
  size_t ran = 0;
  while (ran < budget) {
    Record r;
    {
      std::lock_guard<std::mutex> lock(mu_);
      // A nested Dispatch may already have run what was counted.
      if (queue_.empty()) break;
      r = std::move(queue_.front());
      queue_.pop_front();
      if (queue_.empty()) ready_.Clear();
    }
    ++ran;
    if (r) r();
  }
  return ran;
}

size_t Mailbox::Pending() const {
  std::lock_guard<std::mutex> lock(mu_);
  return queue_.size();
}

void Mailbox::Close() {
  std::deque<Record> dropped;
  {
    std::lock_guard<std::mutex> lock(mu_);
    closed_ = true;
    dropped.swap(queue_);
    ready_.Clear();
  }
  // The records are destroyed here, outside the lock: what they captured may
  // post again.
}

}  // namespace plat
