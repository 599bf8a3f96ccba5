// The shredding engine of one control: how files are overwritten, renamed and
// deleted. Runs on the operation's worker thread; its only links to the host are
// the event sink and the cancel flag.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

#include "notification.h"
#include "platform.h"
#include "purgewell_export.h"

namespace purgewell {

// Where the next write of an overwrite goes: a descriptor and its file position.
struct WriteCursor {
  int fd = -1;
  uint64_t position = 0;
};

class PURGEWELL_API CShredEngine {
 public:
  explicit CShredEngine(std::shared_ptr<Platform> platform);

  // The operations, each run by the worker on its own copy of the arguments.
  void RunDeleteFile(const std::string& name);
  void RunDeleteDirectory(const std::string& folder);
  void RunDeleteFiles(const std::string& folder, const std::string& pattern, bool include);
  void ClearDriveFreeSpace(const std::string& drive);

  // Shreds the files of the open folder `fd` (whose path is `folder`) that match
  // `pattern` and, with IncludeSubfolders, walks every sub-folder on the same
  // mount after them; with `removeFolders` it also removes each sub-folder after
  // its walk, and removes symbolic links and special files (a pattern walk
  // leaves them). Every name is resolved inside its open folder.
  void WalkFolder(int fd, const std::string& folder, const std::string& pattern, bool removeFolders,
                  uint64_t mount);

  // Shreds the entry `info`, `name` in `folder` (a descriptor, or kCurrentFolder
  // with a whole path), known to the host as `path`: overwrites a regular file
  // through the file, renames it 26 times and deletes it; removes links, FIFOs,
  // sockets and device nodes without opening them; ignores folders. Raises
  // OnFileDeleted for everything but folders, whatever happened.
  void ShredFoundFile(const EntryInfo& info, int folder, const std::string& name,
                      const std::string& path);

  // Overwrites `length` bytes from the cursor's position `Passes` times, each pass
  // zeros, ones, random. Returns 0, or the errno value that stopped it (ECANCELED
  // after reporting the cancellation itself; other failures are not reported here).
  int OverwriteRegion(WriteCursor& cursor, uint64_t length);

  // Renames `name` of `folder` through the 26 scrambled names (only the part
  // after the last '/' changes); returns the name it reached.
  std::string ScrambleName(int folder, const std::string& name);

  void ReportSystemError(int code);
  // Sets the error fields and raises OnError with a description of our own.
  void ReportError(int code, std::string text);

  // Fields of the running (or last) operation. The host's thread writes Passes,
  // ErrorNumber, ErrorText and SinkWindow only before the worker starts.
  uint32_t Passes = 0;
  bool IncludeSubfolders = false;
  std::string CurrentFileName;
  uint64_t ProgressTotal = 0;
  uint64_t ProgressDone = 0;
  bool ReportProgress = false;
  std::atomic<bool> CancelFlag{false};
  int32_t ErrorNumber = 0;
  std::string ErrorText;
  std::shared_ptr<NotificationTarget> SinkWindow;  // null: notifications are dropped

 private:
  void OverwriteThroughFile(int folder, const std::string& name);
  // Renames `name` 26 times and deletes it; renames it back when the delete
  // fails. Returns whether it is gone.
  bool DeleteScrambled(int folder, const std::string& name);
  // `path` made absolute against the current folder (links are not resolved),
  // without trailing slashes.
  std::string FullPath(const std::string& path);
  void RaiseFreeSpace(const std::string& drive, uint64_t written, uint64_t totalFree);
  void Raise(Notification n);
  void RaiseProgress(uint64_t done, int32_t pass);

  std::shared_ptr<Platform> platform_;
};

}  // namespace purgewell
