// How the control reaches its host's thread. The host provides an executor bound
// to its thread; the control's worker posts work to it and the host's thread runs
// that work when it dispatches what is pending.
#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>

#include "purgewell_export.h"

namespace purgewell {

class PURGEWELL_API HostExecutor {
 public:
  virtual ~HostExecutor();

  // Any thread. Queues `task` to run later on the host's thread. Never blocks and
  // never runs the task inline.
  virtual void Post(std::function<void()> task) = 0;

  // Host's thread only. Dispatches what is pending for the thread (the control's
  // tasks and, in a GUI, repaints and input) and returns without waiting for more.
  virtual void Pump() = 0;
};

// An executor for hosts without an event loop of their own (command line, tests):
// tasks wait in a queue until the host's thread calls Pump or WaitAndPump.
class PURGEWELL_API PlainExecutor final : public HostExecutor {
 public:
  void Post(std::function<void()> task) override;
  void Pump() override;

  // Host's thread: waits up to `timeout` for a task to arrive, then pumps.
  // Returns whether any task ran.
  bool WaitAndPump(std::chrono::milliseconds timeout);

 private:
  // Runs every queued task, including ones queued while running; returns the count.
  size_t RunPending();

  std::mutex mutex_;
  std::condition_variable arrived_;
  std::deque<std::function<void()>> tasks_;
};

}  // namespace purgewell
