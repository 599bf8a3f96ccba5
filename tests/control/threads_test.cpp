// The control across threads: events on the host's thread in both modes,
// cancellation from a handler, the asynchronous frame, refusal of a second
// operation and destruction while a worker runs.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <thread>

#include "pattern_buffers.h"
#include "test_support.h"

namespace purgewell::testing {
namespace {

using namespace std::chrono_literals;
using ::testing::ElementsAre;

template <typename Pred>
bool WaitUntil(Pred done, std::chrono::milliseconds limit = 10s) {
  const auto end = std::chrono::steady_clock::now() + limit;
  while (!done() && std::chrono::steady_clock::now() < end) std::this_thread::sleep_for(1ms);
  return done();
}

class ThreadsTest : public ::testing::Test {
 protected:
  ThreadsTest() : platform(std::make_shared<RecordingPlatform>()), host(platform) {}

  std::string MakeFile(const std::string& name, size_t size, char fill = 'x') {
    const std::string path = dir / name;
    WriteFile(path, std::string(size, fill));
    return path;
  }

  TempDir dir;
  std::shared_ptr<RecordingPlatform> platform;
  Host host;
};

TEST_F(ThreadsTest, SynchronousEventsArriveOnTheHostThread) {
  // A failing write gives two events that wait for the host: an error and the file.
  platform->failWriteNumber = 5;
  const std::string path = MakeFile("f", 200000);
  ASSERT_FALSE(host.control->DeleteFile(path, 1));
  ASSERT_GE(host.log.events.size(), 2u);
  for (const Event& e : host.log.events) EXPECT_EQ(e.thread, std::this_thread::get_id()) << e.name;
  EXPECT_FALSE(host.control->IsBusy());
}

TEST_F(ThreadsTest, AsynchronousCallReturnsAtOnceAndEventsArriveOnTheHostThread) {
  EXPECT_FALSE(host.control->DeleteFile(dir / "missing", 1));
  ASSERT_EQ(host.control->LastErrorNumber(), 2);

  std::atomic<bool> release{false};
  platform->hookWriteNumber = 1;
  platform->hook = [&] { WaitUntil([&] { return release.load(); }); };
  host.control->SetAsynchronous(-1);
  host.log.events.clear();

  const std::string path = MakeFile("f", 1000);
  EXPECT_FALSE(host.control->DeleteFile(path, 1));
  EXPECT_TRUE(host.control->IsBusy());
  // Until the worker ends, the properties show the previous operation.
  EXPECT_EQ(host.control->LastErrorNumber(), 2);

  // A second operation is refused without a trace and the first goes on.
  const std::string other = MakeFile("other", 10);
  EXPECT_FALSE(host.control->DeleteFile(other, 1));
  EXPECT_TRUE(Exists(other));

  release = true;
  host.RunUntilIdle();
  EXPECT_EQ(host.control->LastErrorNumber(), 0);
  EXPECT_EQ(host.control->LastErrorDescription(), "");
  EXPECT_FALSE(Exists(path));
  ASSERT_FALSE(host.log.events.empty());
  EXPECT_EQ(host.log.events.back().name, "OnFileDeleted");
  EXPECT_EQ(host.log.Count("OnError"), 0u);
  for (const Event& e : host.log.events) EXPECT_EQ(e.thread, std::this_thread::get_id());
}

TEST_F(ThreadsTest, SecondSynchronousCallFromAHandlerIsRefused) {
  const std::string other = MakeFile("other", 10);
  std::vector<bool> nested;
  host.log.onEvent = [&](const Event& e) {
    if (e.name == "OnFileDeleted") nested.push_back(host.control->DeleteFile(other, 1));
  };
  ASSERT_TRUE(host.control->DeleteFile(MakeFile("f", 10), 1));
  ASSERT_FALSE(nested.empty());
  for (bool result : nested) EXPECT_FALSE(result);
  EXPECT_TRUE(Exists(other));
  EXPECT_EQ(host.log.Count("OnError"), 0u);
}

TEST_F(ThreadsTest, CancelFromAProgressHandlerStopsASynchronousOverwrite) {
  const size_t size = 4 << 20;
  const std::string path = MakeFile("large.bin", size);
  // The worker waits at its tenth write until the host has cancelled, so the
  // cancel lands in the middle of the file whatever the disk's speed.
  std::atomic<bool> cancelled{false};
  platform->hookWriteNumber = 10;
  platform->hook = [&] { WaitUntil([&] { return cancelled.load(); }); };
  host.log.onEvent = [&](const Event& e) {
    if (e.name == "OnFileDeleteProgress" && !cancelled) {
      host.control->CancelCurrentOperation();
      cancelled = true;
    }
  };

  EXPECT_FALSE(host.control->DeleteFile(path, 1));

  std::vector<std::string> tail;
  for (const Event& e : host.log.events) {
    if (e.name != "OnFileDeleteProgress") tail.push_back(e.name);
  }
  EXPECT_THAT(tail, ElementsAre("OnError", "OnError", "OnFileDeleted"));
  EXPECT_EQ(host.control->LastErrorNumber(), ECANCELED);
  EXPECT_EQ(host.control->LastErrorDescription(), SystemErrorText(ECANCELED));

  const std::string content = ReadFile(path);
  ASSERT_EQ(content.size(), size);
  EXPECT_NE(content.substr(0, 65536), std::string(65536, 'x'));  // partly overwritten start
  EXPECT_EQ(content.substr(size - 65536, 65535), std::string(65535, 'x'));
  EXPECT_TRUE(platform->renames().empty());
}

TEST_F(ThreadsTest, CancelWhileIdleDoesNotAffectTheNextOperation) {
  host.control->CancelCurrentOperation();
  const std::string path = MakeFile("f", 100);
  EXPECT_TRUE(host.control->DeleteFile(path, 1));
  EXPECT_FALSE(Exists(path));
  EXPECT_EQ(host.log.Count("OnError"), 0u);
}

TEST_F(ThreadsTest, ClosedSinkRaisesNothingButTheResultAndPropertiesAreSet) {
  platform->hookWriteNumber = 1;
  platform->hook = [&] {
    if (auto sink = host.control->CurrentSink()) sink->Close();
  };
  platform->failWriteNumber = 1;
  platform->failWriteError = EIO;

  EXPECT_FALSE(host.control->DeleteFile(MakeFile("f", 100), 1));
  EXPECT_TRUE(host.log.events.empty());
  EXPECT_EQ(host.control->LastErrorNumber(), EIO);
  EXPECT_EQ(host.control->LastErrorDescription(), SystemErrorText(EIO));
}

TEST_F(ThreadsTest, DestroyingTheControlCancelsTheWorkerAndRaisesNothingMore) {
  const std::string path = MakeFile("f", 4 << 20);
  std::atomic<bool> started{false};
  platform->hookWriteNumber = 5;
  platform->hook = [&] {
    started = true;
    std::this_thread::sleep_for(50ms);
  };
  host.control->SetAsynchronous(-1);
  host.control->DeleteFile(path, 1);
  ASSERT_TRUE(WaitUntil([&] { return started.load(); }));
  const size_t before = host.log.events.size();

  host.control.reset();  // cancels and waits for the worker
  host.executor->Pump();

  EXPECT_EQ(host.log.events.size(), before);
  EXPECT_TRUE(Exists(path));
}

TEST_F(ThreadsTest, LastErrorPairIsNeverTorn) {
  // One control fails with different errors in turn while this thread reads.
  host.control->SetAsynchronous(-1);
  std::atomic<bool> stop{false};
  std::thread reader([&] {
    while (!stop) {
      const auto [number, text] = host.control->LastError();
      ASSERT_EQ(text, number == 0 ? "" : SystemErrorText(number));
    }
  });
  for (int i = 0; i < 20; ++i) {
    if (i % 2) {
      host.control->DeleteFile(dir / "missing", 1);
    } else {
      host.control->DeleteFile(dir.path(), -1);  // refused: EINVAL
    }
    host.RunUntilIdle();
  }
  stop = true;
  reader.join();
}

TEST(ConcurrentControlsTest, TwoControlsShredAtOnce) {
  TempDir dir;
  std::vector<std::string> paths;
  for (int i = 0; i < 2; ++i) {
    paths.push_back(dir / ("f" + std::to_string(i)));
    WriteFile(paths.back(), std::string(300000, 'x'));
  }
  std::vector<char> results(2, 0);  // not vector<bool>: one element per thread
  std::vector<std::thread> hosts;
  for (int i = 0; i < 2; ++i) {
    hosts.emplace_back([&, i] {
      Host host;  // each thread is the host of its own control
      results[i] = host.control->DeleteFile(paths[i], 2);
      for (const Event& e : host.log.events) ASSERT_EQ(e.thread, std::this_thread::get_id());
    });
  }
  for (auto& t : hosts) t.join();
  EXPECT_TRUE(results[0]);
  EXPECT_TRUE(results[1]);
  EXPECT_TRUE(ListNames(dir.path()).empty());
}

}  // namespace
}  // namespace purgewell::testing
