#include "host_executor.h"

namespace purgewell {

HostExecutor::~HostExecutor() = default;

void PlainExecutor::Post(std::function<void()> task) {
  {
    std::lock_guard lock(mutex_);
    tasks_.push_back(std::move(task));
  }
  arrived_.notify_all();
}

size_t PlainExecutor::RunPending() {
  size_t ran = 0;
  for (;;) {
    std::function<void()> task;
    {
      std::lock_guard lock(mutex_);
      if (tasks_.empty()) return ran;
      task = std::move(tasks_.front());
      tasks_.pop_front();
    }
    task();
    ++ran;
  }
}

void PlainExecutor::Pump() {
  RunPending();
}

bool PlainExecutor::WaitAndPump(std::chrono::milliseconds timeout) {
  {
    std::unique_lock lock(mutex_);
    arrived_.wait_for(lock, timeout, [this] { return !tasks_.empty(); });
  }
  return RunPending() > 0;
}

}  // namespace purgewell
