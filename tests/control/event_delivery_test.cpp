// The sink's delivery rules: what is posted, what is sent, in which order the
// host's thread sees them, and what a closed sink does.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "event_sink.h"
#include "host_executor.h"

namespace purgewell {
namespace {

using namespace std::chrono_literals;

Notification Progress(int number) {
  Notification n;
  n.kind = Notification::Kind::Progress;
  n.n1 = number;
  return n;
}

// Pumps on this thread until `done` holds (or a few seconds pass).
template <typename Pred>
bool PumpUntil(PlainExecutor& executor, Pred done) {
  for (int i = 0; i < 500 && !done(); ++i) executor.WaitAndPump(10ms);
  return done();
}

template <typename Pred>
bool WaitUntil(Pred done) {
  for (int i = 0; i < 500 && !done(); ++i) std::this_thread::sleep_for(10ms);
  return done();
}

TEST(EventDeliveryTest, TwentySixPostedThenOneSentThenPostedAgain) {
  ResetPostedProgressCount();
  auto executor = std::make_shared<PlainExecutor>();
  std::vector<int> delivered;
  std::vector<std::thread::id> threads;
  auto sink = CEventSink::Create(
      executor,
      [&](const Notification& n) {
        delivered.push_back(n.n1);
        threads.push_back(std::this_thread::get_id());
      },
      nullptr);

  std::atomic<int> raised{0};
  std::thread worker([&] {
    for (int i = 1; i <= 30; ++i) {
      sink->Raise(Progress(i));
      raised = i;
    }
  });

  // The worker stops at number 27, which waits for the host; 1 to 26 are queued.
  ASSERT_TRUE(WaitUntil([&] { return sink->QueuedSent() == 1; }));
  std::this_thread::sleep_for(20ms);
  EXPECT_EQ(raised.load(), 26);
  EXPECT_EQ(sink->QueuedPosted(), 26u);
  EXPECT_TRUE(delivered.empty());

  ASSERT_TRUE(PumpUntil(*executor, [&] { return raised == 30; }));
  worker.join();
  executor->Pump();

  std::vector<int> expected = {27};  // sent before posted
  for (int i = 1; i <= 26; ++i) expected.push_back(i);
  for (int i = 28; i <= 30; ++i) expected.push_back(i);
  EXPECT_EQ(delivered, expected);
  EXPECT_EQ(PostedProgressCount(), 3);
  for (auto id : threads) EXPECT_EQ(id, std::this_thread::get_id());
}

TEST(EventDeliveryTest, OtherNotificationsWaitForTheHostAndOvertakeQueuedProgress) {
  ResetPostedProgressCount();
  auto executor = std::make_shared<PlainExecutor>();
  std::vector<std::string> delivered;
  auto sink = CEventSink::Create(
      executor,
      [&](const Notification& n) {
        delivered.push_back(n.kind == Notification::Kind::Progress ? "progress" : n.text);
      },
      nullptr);

  std::atomic<bool> returned{false};
  std::thread worker([&] {
    sink->Raise(Progress(1));
    sink->Raise({Notification::Kind::FileDeleted, 0, 0, 0, 0, "file"});
    returned = true;
  });
  ASSERT_TRUE(WaitUntil([&] { return sink->QueuedSent() == 1; }));
  std::this_thread::sleep_for(20ms);
  EXPECT_FALSE(returned.load());  // sent: waits for the handler

  ASSERT_TRUE(PumpUntil(*executor, [&] { return returned.load(); }));
  worker.join();
  executor->Pump();
  EXPECT_THAT(delivered, ::testing::ElementsAre("file", "progress"));
}

TEST(EventDeliveryTest, ClosedSinkDropsEverythingAndReleasesAWaitingWorker) {
  ResetPostedProgressCount();
  auto executor = std::make_shared<PlainExecutor>();
  int delivered = 0;
  auto sink = CEventSink::Create(
      executor, [&](const Notification&) { ++delivered; }, nullptr);

  std::atomic<bool> returned{false};
  std::thread worker([&] {
    sink->Raise(Progress(1));
    sink->Raise({Notification::Kind::Error, 5, 0, 0, 0, "error"});
    returned = true;
  });
  ASSERT_TRUE(WaitUntil([&] { return sink->QueuedSent() == 1; }));
  sink->Close();
  worker.join();
  EXPECT_TRUE(returned.load());

  sink->Raise(Progress(2));
  sink->Raise({Notification::Kind::FileDeleted, 0, 0, 0, 0, "late"});
  executor->Pump();
  EXPECT_EQ(delivered, 0);
  EXPECT_EQ(sink->QueuedPosted(), 0u);
  EXPECT_EQ(PostedProgressCount(), 1);  // the dropped one did not count
}

TEST(EventDeliveryTest, PostedCountIsSharedByEverySinkOfTheProcess) {
  ResetPostedProgressCount();
  auto executor = std::make_shared<PlainExecutor>();
  auto a = CEventSink::Create(
      executor, [](const Notification&) {}, nullptr);
  auto b = CEventSink::Create(
      executor, [](const Notification&) {}, nullptr);
  for (int i = 0; i < 13; ++i) a->Raise(Progress(i));
  for (int i = 0; i < 13; ++i) b->Raise(Progress(i));
  EXPECT_EQ(PostedProgressCount(), 26);

  std::atomic<bool> returned{false};
  std::thread worker([&] {
    a->Raise(Progress(27));  // the 27th of the process: sent, so it needs the host
    returned = true;
  });
  ASSERT_TRUE(WaitUntil([&] { return a->QueuedSent() == 1; }));
  EXPECT_EQ(PostedProgressCount(), 0);
  ASSERT_TRUE(PumpUntil(*executor, [&] { return returned.load(); }));
  worker.join();
  a->Close();
  b->Close();
}

TEST(EventDeliveryTest, WakeRunsWhenASentNotificationStartsWaiting) {
  auto executor = std::make_shared<PlainExecutor>();
  std::atomic<int> wakes{0};
  auto sink = CEventSink::Create(
      executor, [](const Notification&) {}, [&] { ++wakes; });
  std::thread worker([&] { sink->Raise({Notification::Kind::Error, 1, 0, 0, 0, "x"}); });
  ASSERT_TRUE(PumpUntil(*executor, [&] { return wakes.load() == 1 && sink->QueuedSent() == 0; }));
  worker.join();
}

}  // namespace
}  // namespace purgewell
