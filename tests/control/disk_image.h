// A small file system image on a loop device, mounted inside a test's temporary
// folder. Needs root, mount and the image's mkfs; tests skip without them.
#pragma once

#include <string>

#include "test_support.h"

namespace purgewell::testing {

class LoopImage {
 public:
  // Makes an image of `megabytes` MiB with mkfs.`type` and mounts it on
  // `mountPoint` (made when missing; default: a folder "mnt" in `dir`). On failure
  // skipReason() says why (the test should skip).
  LoopImage(const TempDir& dir, const std::string& type, int megabytes,
            const std::string& mountPoint = {}, const std::string& mkfsOptions = {});

  // The device's ext4 reserved clusters setting, or "" when there is none.
  std::string ReservedClusters() const;
  ~LoopImage();

  bool ready() const { return mounted_; }
  const std::string& skipReason() const { return reason_; }
  const std::string& mountPoint() const { return mount_point_; }
  const std::string& imagePath() const { return image_; }

  // Unmounts (flushing everything to the image); returns whether it worked.
  bool Unmount();
  // Whether the image file holds `needle` anywhere.
  bool ImageContains(const std::string& needle) const;

 private:
  std::string image_;
  std::string mount_point_;
  std::string reason_;
  bool mounted_ = false;
};

// Runs a shell command quietly; returns its exit status.
int RunShell(const std::string& command);
// A text no file system would hold by chance.
std::string UniqueMarker();

}  // namespace purgewell::testing
