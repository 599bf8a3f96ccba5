#include "test_support.h"

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "pattern_buffers.h"
#include "typelib.h"

namespace purgewell::testing {

TempDir::TempDir() {
  const char* base = std::getenv("TMPDIR");
  std::string templ = std::string(base && *base ? base : "/tmp") + "/purgewell-test-XXXXXX";
  if (::mkdtemp(templ.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  path_ = templ;
}

TempDir::~TempDir() {
  std::error_code ec;
  // Give back write permission so a test's read-only entries can go too.
  for (auto it = std::filesystem::recursive_directory_iterator(path_, ec);
       !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
    if (it->is_directory(ec) && !it->is_symlink(ec)) ::chmod(it->path().c_str(), 0700);
  }
  ::chmod(path_.c_str(), 0700);
  std::filesystem::remove_all(path_, ec);
}

void WriteFile(const std::string& path, const std::string& content) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << content;
  if (!out) throw std::runtime_error("cannot write " + path);
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream buffer;
  buffer << in.rdbuf();
  return buffer.str();
}

bool Exists(const std::string& path) {
  struct stat st {};
  return ::lstat(path.c_str(), &st) == 0;
}

std::vector<std::string> ListNames(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

std::string PathOf(int folder, const std::string& name) {
  if (folder == kCurrentFolder) return name;
  char target[4096];
  const std::string link = "/proc/self/fd/" + std::to_string(folder);
  const ssize_t n = ::readlink(link.c_str(), target, sizeof target - 1);
  if (n <= 0) return "<fd " + std::to_string(folder) + ">/" + name;
  std::string path(target, static_cast<size_t>(n));
  return name.empty() ? path : (path == "/" ? path : path + "/") + name;
}

Result<EntryInfo> RecordingPlatform::Lookup(int folder, const std::string& name) {
  {
    std::lock_guard lock(mutex_);
    calls_.push_back("lookup " + PathOf(folder, name));
  }
  return PlatformWrapper::Lookup(folder, name);
}

Result<OpenFile> RecordingPlatform::OpenForOverwrite(int folder, const std::string& name) {
  {
    std::lock_guard lock(mutex_);
    calls_.push_back("open " + PathOf(folder, name));
  }
  if (!forwardOpen) return Result<OpenFile>::Fail(EPERM);
  return PlatformWrapper::OpenForOverwrite(folder, name);
}

Result<size_t> RecordingPlatform::WriteAt(int fd, const void* data, size_t length,
                                          uint64_t offset) {
  int number;
  {
    std::lock_guard lock(mutex_);
    number = ++write_count_;
  }
  if (number == hookWriteNumber && hook) hook();
  if (number == failWriteNumber) return Result<size_t>::Fail(failWriteError);
  {
    std::lock_guard lock(mutex_);
    if (auto it = fill_sizes_.find(fd); it != fill_sizes_.end() && capacity) {
      const uint64_t end = std::max(it->second, offset + length);
      uint64_t total = 0;
      for (const auto& [other, size] : fill_sizes_) total += other == fd ? end : size;
      if (total > *capacity) return Result<size_t>::Fail(ENOSPC);
      it->second = end;
    }
  }
  int pattern = -1;
  if (const PatternBuffers* p = PatternBuffers::Get()) {
    const auto* bytes = static_cast<const uint8_t*>(data);
    for (int i = 0; i < 3; ++i) {
      if (bytes >= p->buffer(i) && bytes < p->buffer(i) + PatternBuffers::kSize) pattern = i;
    }
  }
  {
    std::lock_guard lock(mutex_);
    writes_.push_back({offset, length, pattern});
  }
  return PlatformWrapper::WriteAt(fd, data, length, offset);
}

int RecordingPlatform::Close(int fd) {
  {
    std::lock_guard lock(mutex_);
    calls_.push_back("close");
    fill_sizes_.erase(fd);
  }
  const int result = PlatformWrapper::Close(fd);
  return failCloseError ? failCloseError.load() : result;
}

int RecordingPlatform::RenameNoReplace(int folder, const std::string& from, const std::string& to) {
  const int result = PlatformWrapper::RenameNoReplace(folder, from, to);
  const std::string from_path = PathOf(folder, from);
  const std::string to_path = PathOf(folder, to);
  std::lock_guard lock(mutex_);
  calls_.push_back("rename " + from_path + " -> " + to_path + (result ? " failed" : ""));
  if (result == 0) renames_.push_back(to_path);
  return result;
}

int RecordingPlatform::Unlink(int folder, const std::string& name) {
  {
    std::lock_guard lock(mutex_);
    calls_.push_back("unlink " + PathOf(folder, name));
  }
  if (failUnlinkError) return failUnlinkError;
  return PlatformWrapper::Unlink(folder, name);
}

uint64_t RecordingPlatform::TickMs() {
  return clock.fetch_add(clockStep);
}

Result<std::vector<std::string>> RecordingPlatform::ReadFolder(int fd) {
  {
    std::lock_guard lock(mutex_);
    calls_.push_back("list " + PathOf(fd, ""));
  }
  return PlatformWrapper::ReadFolder(fd);
}

int RecordingPlatform::RemoveFolder(int folder, const std::string& name) {
  {
    std::lock_guard lock(mutex_);
    calls_.push_back("rmdir " + PathOf(folder, name));
  }
  return PlatformWrapper::RemoveFolder(folder, name);
}

Result<FreeSpaceInfo> RecordingPlatform::FreeSpace(const std::string& path) {
  const Result<FreeSpaceInfo> real = PlatformWrapper::FreeSpace(path);
  if (!real.ok() || !freeSpace) return real;  // the folder must still exist
  return {*freeSpace, 0};
}

Result<int> RecordingPlatform::CreateFillFile(const std::string& path, bool unbuffered) {
  {
    std::lock_guard lock(mutex_);
    calls_.push_back("create " + path);
  }
  // The pretend disk has no alignment rules: keep the file buffered.
  const Result<int> made = PlatformWrapper::CreateFillFile(path, unbuffered && !capacity);
  if (made.ok()) {
    std::lock_guard lock(mutex_);
    fill_sizes_[made.value] = 0;
  }
  return made;
}

Result<StorageInfo> RecordingPlatform::Storage(int fd) {
  if (storage) return {*storage, 0};
  return PlatformWrapper::Storage(fd);
}

uint64_t RecordingPlatform::FillBytes() const {
  std::lock_guard lock(mutex_);
  uint64_t total = 0;
  for (const auto& [fd, size] : fill_sizes_) total += size;
  return total;
}

bool RecordingPlatform::Called(const std::string& prefix) const {
  std::lock_guard lock(mutex_);
  return std::any_of(calls_.begin(), calls_.end(),
                     [&](const std::string& call) { return call.rfind(prefix, 0) == 0; });
}

int AsUnprivilegedUser(const std::function<int()>& body) {
  if (::geteuid() != 0) return body();
  const pid_t child = ::fork();
  if (child == 0) {
    if (::setgid(65534) != 0 || ::setuid(65534) != 0) ::_exit(100);
    ::_exit(body());
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 101;
}

std::vector<WriteCall> RecordingPlatform::writes() const {
  std::lock_guard lock(mutex_);
  return writes_;
}

std::vector<std::string> RecordingPlatform::calls() const {
  std::lock_guard lock(mutex_);
  return calls_;
}

std::vector<std::string> RecordingPlatform::renames() const {
  std::lock_guard lock(mutex_);
  return renames_;
}

void EventLog::Invoke(int32_t eventId, const std::vector<Variant>& args) {
  const EventInfo* info = FindEvent(eventId);
  events.push_back({info ? std::string(info->name) : "?", args, std::this_thread::get_id()});
  if (onEvent) onEvent(events.back());
}

std::vector<std::string> EventLog::Names() const {
  std::vector<std::string> names;
  for (const auto& e : events) names.push_back(e.name);
  return names;
}

std::string Describe(const std::string& name, const std::vector<Variant>& a) {
  if (name == "OnFileDeleteProgress" && a.size() == 4) {
    return "Progress " + std::to_string(a[0].number) + "/" + std::to_string(a[1].number) + " p" +
           std::to_string(a[2].number);
  }
  if (name == "OnError" && a.size() == 2) return "Error " + std::to_string(a[0].number);
  if (name == "OnFileDeleted" && a.size() == 1) return "FileDeleted " + a[0].text;
  if (name == "OnDirectoryDeleted" && a.size() == 1) return "DirectoryDeleted " + a[0].text;
  if (name == "OnFreeSpaceWipeProgress" && a.size() == 4) {
    return "FreeSpace " + std::to_string(a[1].number) + "% " + std::to_string(a[2].number) + "/" +
           std::to_string(a[3].number);
  }
  return name;
}

Event ToEvent(const Notification& n) {
  const auto thread = std::this_thread::get_id();
  switch (n.kind) {
    case Notification::Kind::Progress:
      return {
          "OnFileDeleteProgress",
          {Variant::Long(n.n1), Variant::Long(n.n2), Variant::Long(n.n3), Variant::Text(n.text)},
          thread};
    case Notification::Kind::Error:
      return {"OnError", {Variant::Long(n.n1), Variant::Text(n.text)}, thread};
    case Notification::Kind::FileDeleted:
      return {"OnFileDeleted", {Variant::Text(n.text)}, thread};
    case Notification::Kind::DirectoryDeleted:
      return {"OnDirectoryDeleted", {Variant::Text(n.text)}, thread};
    case Notification::Kind::FreeSpace:
      return {
          "OnFreeSpaceWipeProgress",
          {Variant::Text(n.text), Variant::Long(n.n4), Variant::Long(n.n1), Variant::Long(n.n2)},
          thread};
  }
  return {};
}

std::vector<std::string> EventLog::Summary() const {
  std::vector<std::string> out;
  for (const auto& e : events) out.push_back(Describe(e.name, e.args));
  return out;
}

void RecordingTarget::Raise(Notification n) {
  events.push_back(ToEvent(n));
  if (onRaise) onRaise(events.back());
}

std::vector<std::string> RecordingTarget::Summary() const {
  std::vector<std::string> out;
  for (const auto& e : events) out.push_back(Describe(e.name, e.args));
  return out;
}

size_t EventLog::Count(const std::string& name) const {
  return std::count_if(events.begin(), events.end(),
                       [&](const Event& e) { return e.name == name; });
}

EngineRig::EngineRig()
    : platform(std::make_shared<RecordingPlatform>()),
      target(std::make_shared<RecordingTarget>()),
      engine(platform) {
  engine.SinkWindow = target;
}

std::vector<std::string> EngineRig::Outcomes() const {
  std::vector<std::string> out;
  for (const std::string& e : Events()) {
    if (e.rfind("Progress", 0) != 0) out.push_back(e);
  }
  return out;
}

Host::Host(std::shared_ptr<Platform> platform)
    : control(std::make_unique<CPurgewellCtrl>(executor, std::move(platform))) {
  control->Advise(&log);
}

Host::~Host() {
  control.reset();
}

void Host::RunUntilIdle() {
  while (control->IsBusy()) executor->WaitAndPump(std::chrono::milliseconds(10));
  executor->Pump();
}

}  // namespace purgewell::testing
