// The Purgewell control: the dispatch interface _DPurgewell, the event connection
// and the frame every operation runs in (argument handling, worker thread,
// synchronous or asynchronous return, last-error bookkeeping).
//
// Threads: make the control, call it and receive its events on one thread, the
// host's, whose executor is passed in. Each operation runs on a worker thread of
// its own; one operation runs at a time. The control must outlive nothing: its
// destructor cancels a running operation and waits for the worker.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "event_sink.h"
#include "events.h"
#include "host_executor.h"
#include "platform.h"
#include "purgewell_export.h"
#include "shred_engine.h"
#include "variant.h"

namespace purgewell {

class PURGEWELL_API CPurgewellCtrl {
 public:
  explicit CPurgewellCtrl(std::shared_ptr<HostExecutor> host,
                          std::shared_ptr<Platform> platform = MakePosixPlatform());
  ~CPurgewellCtrl();
  CPurgewellCtrl(const CPurgewellCtrl&) = delete;
  CPurgewellCtrl& operator=(const CPurgewellCtrl&) = delete;

  // The dispatch layer: calls member `dispid` with `args` in declaration order.
  // Returns S_OK, DISP_E_MEMBERNOTFOUND for an unknown member or a kind it does not
  // have, CTL_E_SETNOTSUPPORTED for writing a read-only property (nothing changes),
  // DISP_E_BADPARAMCOUNT or DISP_E_TYPEMISMATCH for unfit arguments.
  HRESULT Invoke(int32_t dispid, InvokeKind kind, const std::vector<Variant>& args,
                 Variant* result);

  // The event connection: every advised sink hears every event, in advise order.
  // The sink must stay alive until it is unadvised or the control is gone.
  uint32_t Advise(PurgewellEvents* sink);
  void Unadvise(uint32_t cookie);

  // Typed members (what Invoke calls).
  std::string Version() const;
  std::string LastErrorDescription() const;
  int32_t LastErrorNumber() const;
  // Both at once, from the same finished operation.
  std::pair<int32_t, std::string> LastError() const;
  bool Asynchronous() const { return asynchronous_; }
  void SetAsynchronous(int16_t value);
  bool DeleteFile(const std::string& sFileName, int32_t lNumberOfPasses);
  bool ClearFreeSpace(const std::string& sDriveLetter, int32_t lNumberOfPasses);
  bool DeleteDirectory(const std::string& sDirectory, int32_t lNumberOfPasses);
  bool DeleteFiles(const std::string& sDirectory, const std::string& sSearchPattern,
                   int16_t bIncludeSubdirectories, int32_t lPasses);
  void CancelCurrentOperation();
  void AboutBox();

  // Whether an operation is running (its worker has not ended).
  bool IsBusy() const { return running_.load(); }
  // Whether a property was written since the control was made.
  bool IsModified() const { return modified_; }
  // The sink of the running operation, or null: hosts may close it to stop events.
  std::shared_ptr<CEventSink> CurrentSink() const;

 private:
  enum class Operation { DeleteFile, ClearFreeSpace, DeleteDirectory, DeleteFiles };

  struct ShredThreadParams {
    Operation operation;
    std::string argument;
    bool asynchronous;
    bool includeSubfolders;
    std::string pattern;
  };

  bool Start(Operation operation, std::string argument, int32_t passes, std::string pattern,
             bool include);
  int16_t WorkerMain(const ShredThreadParams& params);
  void RunOperation(const ShredThreadParams& params);
  void WaitForWorker();
  void Fire(int32_t eventId, std::vector<Variant> args);
  void Deliver(const Notification& n);
  void PublishLastError(int32_t number, std::string text);

  const std::shared_ptr<HostExecutor> host_;
  CShredEngine engine_;
  bool asynchronous_ = false;
  bool modified_ = false;

  // The last error pair, read by any thread and written when a worker ends.
  mutable std::mutex last_error_mutex_;
  int32_t last_error_number_ = 0;
  std::string last_error_text_;

  // The running operation's sink; the engine's SinkWindow points to it too.
  mutable std::mutex sink_mutex_;
  std::shared_ptr<CEventSink> sink_;

  std::thread worker_;
  std::atomic<bool> running_{false};
  int16_t result_ = 0;  // the synchronous worker's result, read after join

  // Wakes the synchronous wait when the worker ends or sends a notification.
  std::mutex wait_mutex_;
  std::condition_variable wait_cv_;
  bool wake_ = false;

  std::vector<std::pair<uint32_t, PurgewellEvents*>> sinks_;
  uint32_t next_cookie_ = 1;
  bool destroying_ = false;
};

}  // namespace purgewell
