#include "event_sink.h"

#include <atomic>

namespace purgewell {
namespace {

// Shared by every control of the process.
std::atomic<int32_t> g_postedProgressCount{0};

constexpr int32_t kPostedBeforeSend = 25;

// Decides, atomically, whether this progress notification is sent (true) or posted.
bool TakeProgressSendTurn() {
  int32_t count = g_postedProgressCount.load();
  for (;;) {
    const bool send = count > kPostedBeforeSend;
    if (g_postedProgressCount.compare_exchange_weak(count, send ? 0 : count + 1)) return send;
  }
}

}  // namespace

NotificationTarget::~NotificationTarget() = default;

int32_t PostedProgressCount() {
  return g_postedProgressCount.load();
}
void ResetPostedProgressCount() {
  g_postedProgressCount.store(0);
}

CEventSink::CEventSink(std::shared_ptr<HostExecutor> host, Deliver deliver,
                       std::function<void()> wake)
    : host_(std::move(host)), deliver_(std::move(deliver)), wake_(std::move(wake)) {}

std::shared_ptr<CEventSink> CEventSink::Create(std::shared_ptr<HostExecutor> host, Deliver deliver,
                                               std::function<void()> wake) {
  return std::shared_ptr<CEventSink>(
      new CEventSink(std::move(host), std::move(deliver), std::move(wake)));
}

void CEventSink::ScheduleDrain(std::unique_lock<std::mutex>& lock) {
  const bool post = !drainScheduled_;
  drainScheduled_ = true;
  lock.unlock();
  if (post) {
    host_->Post([weak = weak_from_this()] {
      if (auto sink = weak.lock()) sink->Drain();
    });
  }
}

void CEventSink::Raise(Notification n) {
  if (n.kind != Notification::Kind::Progress) {
    Send(std::move(n));
    return;
  }
  std::unique_lock lock(mutex_);
  if (closed_) return;  // a dropped notification does not count
  lock.unlock();
  if (TakeProgressSendTurn()) {
    Send(std::move(n));
    return;
  }
  lock.lock();
  if (closed_) return;
  posted_.push_back(std::move(n));
  ScheduleDrain(lock);
}

void CEventSink::Send(Notification n) {
  auto item = std::make_shared<SentItem>();
  item->notification = std::move(n);
  std::unique_lock lock(mutex_);
  if (closed_) return;
  sent_.push_back(item);
  ScheduleDrain(lock);
  if (wake_) wake_();
  lock.lock();
  handled_.wait(lock, [&] { return item->handled || closed_; });
}

void CEventSink::Close() {
  std::deque<std::shared_ptr<SentItem>> sent;
  std::deque<Notification> posted;
  {
    std::lock_guard lock(mutex_);
    closed_ = true;
    sent.swap(sent_);
    posted.swap(posted_);
  }
  handled_.notify_all();
}

bool CEventSink::IsOpen() const {
  std::lock_guard lock(mutex_);
  return !closed_;
}

void CEventSink::Drain() {
  {
    std::lock_guard lock(mutex_);
    drainScheduled_ = false;
  }
  for (;;) {
    std::shared_ptr<SentItem> sent;
    Notification posted;
    {
      std::lock_guard lock(mutex_);
      if (closed_) return;
      if (!sent_.empty()) {
        sent = std::move(sent_.front());
        sent_.pop_front();
      } else if (!posted_.empty()) {
        posted = std::move(posted_.front());
        posted_.pop_front();
      } else {
        return;
      }
    }
    deliver_(sent ? sent->notification : posted);
    if (sent) {
      {
        std::lock_guard lock(mutex_);
        sent->handled = true;
      }
      handled_.notify_all();
    }
  }
}

size_t CEventSink::QueuedPosted() const {
  std::lock_guard lock(mutex_);
  return posted_.size();
}

size_t CEventSink::QueuedSent() const {
  std::lock_guard lock(mutex_);
  return sent_.size();
}

}  // namespace purgewell
