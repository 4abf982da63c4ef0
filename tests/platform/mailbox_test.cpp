#include "platform/mailbox.h"

#include <poll.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

namespace {

using plat::Mailbox;

// Each test owns a fresh thread and so a fresh mailbox: the test binary's
// main thread would otherwise carry records from one test into the next.
template <typename F>
void OnFreshThread(F body) {
  std::thread(body).join();
}

bool Readable(int fd) {
  pollfd p{fd, POLLIN, 0};
  return poll(&p, 1, 0) == 1 && (p.revents & POLLIN);
}

TEST(Mailbox, OnePerThreadCreatedOnFirstUse) {
  OnFreshThread([] {
    EXPECT_EQ(Mailbox::PeekThisThread(), nullptr);
    const auto box = Mailbox::ForThisThread();
    ASSERT_NE(box, nullptr);
    EXPECT_GE(box->fd(), 0);
    EXPECT_EQ(Mailbox::ForThisThread(), box);
    EXPECT_EQ(Mailbox::PeekThisThread(), box);
    std::shared_ptr<Mailbox> other;
    std::thread([&] { other = Mailbox::ForThisThread(); }).join();
    ASSERT_NE(other, nullptr);
    EXPECT_NE(other, box);
    EXPECT_NE(other->fd(), box->fd());
  });
}

TEST(Mailbox, FdIsReadableExactlyWhileRecordsWait) {
  OnFreshThread([] {
    const auto box = Mailbox::ForThisThread();
    EXPECT_FALSE(Readable(box->fd()));
    int ran = 0;
    ASSERT_TRUE(box->Post([&] { ++ran; }));
    ASSERT_TRUE(box->Post([&] { ++ran; }));
    EXPECT_TRUE(Readable(box->fd()));
    EXPECT_EQ(box->Pending(), 2u);
    EXPECT_EQ(box->Dispatch(), 2u);
    EXPECT_EQ(ran, 2);
    EXPECT_FALSE(Readable(box->fd()));
    EXPECT_EQ(box->Dispatch(), 0u);
    // A record that posts again leaves the new one (and the signal) for the
    // next round instead of running forever.
    std::function<void()> again = [&] {
      ++ran;
      box->Post(again);
    };
    ASSERT_TRUE(box->Post(again));
    EXPECT_EQ(box->Dispatch(), 1u);
    EXPECT_TRUE(Readable(box->fd()));
    EXPECT_EQ(box->Pending(), 1u);
  });
}

TEST(Mailbox, PostsFromManyThreadsArriveInEachThreadsOrder) {
  OnFreshThread([] {
    const auto box = Mailbox::ForThisThread();
    constexpr int kThreads = 4;
    constexpr int kPosts = 2000;
    std::vector<int> next(kThreads, 0);
    std::atomic<bool> inOrder{true};
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
      threads.emplace_back([&, t] {
        for (int i = 0; i < kPosts; ++i) {
          // Records run on the owning thread only, so next[] needs no lock.
          box->Post([&, t, i] {
            if (next[t] != i) inOrder = false;
            next[t] = i + 1;
          });
        }
      });
    size_t ran = 0;
    while (ran < static_cast<size_t>(kThreads * kPosts)) {
      pollfd p{box->fd(), POLLIN, 0};
      ASSERT_EQ(poll(&p, 1, 5000), 1) << "the fd must wake the owner while records wait";
      ran += box->Dispatch();
    }
    for (auto& th : threads) th.join();
    EXPECT_TRUE(inOrder);
    for (int t = 0; t < kThreads; ++t) EXPECT_EQ(next[t], kPosts);
    EXPECT_FALSE(Readable(box->fd()));
  });
}

TEST(Mailbox, RecordsMayDispatchAgain) {
  OnFreshThread([] {
    const auto box = Mailbox::ForThisThread();
    std::string order;
    size_t inner = 0;
    box->Post([&] {
      order += 'A';
      box->Post([&] { order += 'D'; });
      inner = box->Dispatch();
      order += 'a';
    });
    box->Post([&] { order += 'B'; });
    box->Post([&] { order += 'C'; });
    EXPECT_EQ(box->Dispatch(), 1u) << "the nested call ran the rest";
    EXPECT_EQ(inner, 3u);
    EXPECT_EQ(order, "ABCDa");
    EXPECT_FALSE(Readable(box->fd()));
  });
}

TEST(Mailbox, PostsAfterTheOwnerEndedAreDropped) {
  std::shared_ptr<Mailbox> box;
  auto token = std::make_shared<int>(0);
  std::thread([&] {
    box = Mailbox::ForThisThread();
    box->Post([token] {});  // never dispatched: released with the thread
  }).join();
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(token.use_count(), 1);
  EXPECT_FALSE(box->Post([] {}));
  EXPECT_EQ(box->Pending(), 0u);
  EXPECT_FALSE(Readable(box->fd()));
}

}  // namespace
