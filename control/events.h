// The event interface _DPurgewellEvents: what a host implements to hear from the
// control. Every event arrives on the host's thread (the thread the control was
// made on); a handler may call the control again (read properties, cancel).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "purgewell_export.h"
#include "variant.h"

namespace purgewell {

class PURGEWELL_API PurgewellEvents {
 public:
  virtual ~PurgewellEvents();
  // One event, by its identifier, with its arguments in declaration order.
  virtual void Invoke(int32_t eventId, const std::vector<Variant>& args) = 0;
};

// Decodes Invoke into one virtual call per event; override the ones you need.
class PURGEWELL_API PurgewellEventHandler : public PurgewellEvents {
 public:
  void Invoke(int32_t eventId, const std::vector<Variant>& args) override;

  virtual void OnFileDeleteProgress(int32_t /*lBytesProcessed*/, int32_t /*lTotalFileSize*/,
                                    int32_t /*lCurrentPassNumber*/,
                                    const std::string& /*sFileName*/) {}
  virtual void OnError(int32_t /*lErrorCode*/, const std::string& /*sErrorDescription*/) {}
  virtual void OnFileDeleted(const std::string& /*sFileName*/) {}
  virtual void OnDirectoryDeleted(const std::string& /*sDirectoryName*/) {}
  virtual void OnFreeSpaceWipeProgress(const std::string& /*sDrive*/, int32_t /*lPercentage*/,
                                       int32_t /*lKBCleared*/, int32_t /*lTotalFreeSpaceKB*/) {}
  virtual void OnCleanFreeSpace(const std::string& /*sDrive*/) {}
};

}  // namespace purgewell
