// Fixtures shared by the control's tests: a temporary folder, a platform that
// records and fails calls, and an event log that remembers what arrived where.
#pragma once

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "events.h"
#include "host_executor.h"
#include "notification.h"
#include "platform.h"
#include "purgewell_ctrl.h"
#include "shred_engine.h"

namespace purgewell::testing {

// A fresh folder under the system's temporary folder, removed with everything in
// it when the object goes. Destructive tests work only in here.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  const std::string& path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

void WriteFile(const std::string& path, const std::string& content);
std::string ReadFile(const std::string& path);
bool Exists(const std::string& path);  // the entry itself, links not followed
std::vector<std::string> ListNames(const std::string& folder);  // sorted

struct WriteCall {
  uint64_t offset;
  size_t length;
  int pattern;  // 0 zeros, 1 ones, 2 random, -1 other data
  bool operator==(const WriteCall&) const = default;
};

// Records every call and can make chosen calls fail. Also a manual clock: TickMs
// returns `clock`, which advances by `clockStep` at every call.
class RecordingPlatform final : public PlatformWrapper {
 public:
  RecordingPlatform() : PlatformWrapper(MakePosixPlatform()) {}

  Result<EntryInfo> Lookup(int folder, const std::string& name) override;
  Result<OpenFile> OpenForOverwrite(int folder, const std::string& name) override;
  Result<size_t> WriteAt(int fd, const void* data, size_t length, uint64_t offset) override;
  int Close(int fd) override;
  int RenameNoReplace(int folder, const std::string& from, const std::string& to) override;
  int Unlink(int folder, const std::string& name) override;
  uint64_t TickMs() override;
  Result<std::vector<std::string>> ReadFolder(int fd) override;
  int RemoveFolder(int folder, const std::string& name) override;
  Result<FreeSpaceInfo> FreeSpace(const std::string& path) override;
  Result<int> CreateFillFile(const std::string& path, bool unbuffered) override;
  Result<StorageInfo> Storage(int fd) override;

  std::vector<WriteCall> writes() const;
  // "lookup p", "open p", "close", "rename a -> b", "unlink p", "list p", "rmdir p",
  // "create p", with whole paths (names in open folders are resolved to them)
  std::vector<std::string> calls() const;
  bool Called(const std::string& prefix) const;  // any call starting with `prefix`
  std::vector<std::string> renames() const;      // targets of successful renames

  // Fault injection: the call fails with `error` instead of reaching the system.
  std::atomic<int> failWriteNumber{0};  // 1-based index of the write that fails
  std::atomic<int> failWriteError{EIO};
  std::atomic<int> failUnlinkError{0};
  std::atomic<int> failCloseError{0};
  // Before the write with this 1-based index, calls this (from the worker).
  std::atomic<int> hookWriteNumber{0};
  std::function<void()> hook;

  std::atomic<uint64_t> clock{1000000};
  std::atomic<uint64_t> clockStep{0};
  std::atomic<bool> forwardOpen{true};  // false: record only "open" calls (FIFO safety)

  // A pretend file system for free-space runs: FreeSpace answers `freeSpace` when
  // set, and writes to fill files fail with ENOSPC once the fill files would
  // hold more than `capacity` bytes.
  std::optional<FreeSpaceInfo> freeSpace;
  // Storage answers this when set (a pretend file system for the opened files).
  std::optional<StorageInfo> storage;
  std::optional<uint64_t> capacity;
  uint64_t FillBytes() const;  // what the fill files hold now

 private:
  mutable std::mutex mutex_;
  std::vector<WriteCall> writes_;
  std::vector<std::string> calls_;
  std::vector<std::string> renames_;
  int write_count_ = 0;
  std::map<int, uint64_t> fill_sizes_;  // fill file descriptor -> its length
};

// The path `name` of `folder` stands for: a folder descriptor's path (from
// /proc/self/fd) joined with `name`, or `name` itself for kCurrentFolder.
std::string PathOf(int folder, const std::string& name);

// Runs `body` as an unprivileged user in a child process when we are root (root
// ignores permission bits); returns the child's exit code, or body's result.
int AsUnprivilegedUser(const std::function<int()>& body);

struct Event {
  std::string name;  // OnError, OnFileDeleteProgress, ...
  std::vector<Variant> args;
  std::thread::id thread;
};

// Records every event; optional callbacks run inside the handler.
class EventLog final : public PurgewellEvents {
 public:
  void Invoke(int32_t eventId, const std::vector<Variant>& args) override;

  std::vector<Event> events;
  std::function<void(const Event&)> onEvent;

  std::vector<std::string> Names() const;
  // Short forms: "Progress 1/0 p3", "Error 2", "FileDeleted <path>".
  std::vector<std::string> Summary() const;
  size_t Count(const std::string& name) const;
};

// Short form of an event for comparisons: "Progress 1/0 p3", "Error 2",
// "FileDeleted <path>", "DirectoryDeleted <path>", or the event's name.
std::string Describe(const std::string& name, const std::vector<Variant>& args);
// The event a notification becomes.
Event ToEvent(const Notification& n);

// Takes the engine's notifications directly, on the engine's thread, in the order
// they are raised (no host, no reordering by the delivery rules).
class RecordingTarget final : public NotificationTarget {
 public:
  void Raise(Notification n) override;
  std::vector<Event> events;
  std::function<void(const Event&)> onRaise;
  std::vector<std::string> Summary() const;
};

// The engine run on the test's own thread, with a recording platform and a
// recording target: exact calls and notifications, no host in between.
struct EngineRig {
  EngineRig();
  std::shared_ptr<RecordingPlatform> platform;
  std::shared_ptr<RecordingTarget> target;
  CShredEngine engine;

  std::vector<std::string> Events() const { return target->Summary(); }
  // The summaries without file progress.
  std::vector<std::string> Outcomes() const;
  bool Succeeded() const { return engine.ErrorNumber == 0; }
};

// A host: a plain executor on this thread, a control on it, and an advised log.
struct Host {
  explicit Host(std::shared_ptr<Platform> platform = MakePosixPlatform());
  ~Host();
  std::shared_ptr<PlainExecutor> executor = std::make_shared<PlainExecutor>();
  std::unique_ptr<CPurgewellCtrl> control;
  EventLog log;
  // Pumps until the control is idle (asynchronous operations).
  void RunUntilIdle();
};

}  // namespace purgewell::testing
