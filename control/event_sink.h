// Carries the worker's notifications to the host's thread, where they become
// events. One sink serves one operation: made on the host's thread when the
// operation starts, closed by the worker when it ends.
//
// Delivery rules: a notification other than file progress is sent: the worker
// waits until the host's thread has raised the event and its handler returned.
// File progress is posted (queued, the worker goes on), except that after 26
// posted ones in the process the next one is sent and the count starts again.
// When the host's thread drains, sent notifications go before posted ones.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "host_executor.h"
#include "notification.h"
#include "purgewell_export.h"

namespace purgewell {

class PURGEWELL_API CEventSink final : public NotificationTarget,
                                       public std::enable_shared_from_this<CEventSink> {
 public:
  using Deliver = std::function<void(const Notification&)>;

  // Host's thread. `deliver` runs on the host's thread for each notification;
  // `wake` runs on the worker whenever a sent notification starts waiting, so a
  // host that is waiting for the operation can pump at once.
  static std::shared_ptr<CEventSink> Create(std::shared_ptr<HostExecutor> host, Deliver deliver,
                                            std::function<void()> wake);

  // Worker thread. Hands `n` to the host by the delivery rules; dropped when the
  // sink is closed. Returns once a sent notification is handled or the sink closes.
  void Raise(Notification n) override;

  // Any thread. From now on nothing is delivered: queued notifications are
  // discarded and a worker waiting on a sent one goes on. Idempotent.
  void Close();
  bool IsOpen() const;

  // Host's thread. Raises the queued notifications, sent ones first.
  void Drain();

  // Notifications queued and not yet delivered (for hosts and tests that watch).
  size_t QueuedPosted() const;
  size_t QueuedSent() const;

 private:
  struct SentItem {
    Notification notification;
    bool handled = false;
  };

  CEventSink(std::shared_ptr<HostExecutor> host, Deliver deliver, std::function<void()> wake);
  void Send(Notification n);
  // Called with `lock` held; releases it before posting the drain task.
  void ScheduleDrain(std::unique_lock<std::mutex>& lock);

  const std::shared_ptr<HostExecutor> host_;
  const Deliver deliver_;
  const std::function<void()> wake_;

  mutable std::mutex mutex_;
  std::condition_variable handled_;
  bool closed_ = false;
  bool drainScheduled_ = false;
  std::deque<std::shared_ptr<SentItem>> sent_;
  std::deque<Notification> posted_;
};

// Progress notifications posted in this process since the last one that was sent.
PURGEWELL_API int32_t PostedProgressCount();
// Starts the count again; for tests that check the 26-then-1 rhythm.
PURGEWELL_API void ResetPostedProgressCount();

}  // namespace purgewell
