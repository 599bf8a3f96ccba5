// What the engine tells its host, before it becomes an event: one record per
// notification, handed to a target (the event sink, or a test's recorder).
#pragma once

#include <cstdint>
#include <string>

#include "purgewell_export.h"

namespace purgewell {

struct Notification {
  enum class Kind { Progress, Error, FileDeleted, DirectoryDeleted, FreeSpace };

  Kind kind = Kind::Progress;
  // Progress: bytes processed, total, pass. FreeSpace: KB cleared, total KB, -, percentage.
  // Error: n1 is the error number.
  int32_t n1 = 0;
  int32_t n2 = 0;
  int32_t n3 = 0;
  int32_t n4 = 0;
  std::string text;  // file, folder or drive; the description of an error
};

class PURGEWELL_API NotificationTarget {
 public:
  virtual ~NotificationTarget();
  // Worker thread. Takes one notification; may wait for the host.
  virtual void Raise(Notification n) = 0;
};

}  // namespace purgewell
