#include "disk_image.h"

#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <functional>
#include <random>
#include <vector>

namespace purgewell::testing {

int RunShell(const std::string& command) {
  const int status = std::system((command + " >/dev/null 2>&1").c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string UniqueMarker() {
  std::random_device random;
  std::string marker = "PURGEWELL-MARKER-";
  for (int i = 0; i < 4; ++i) marker += std::to_string(random());
  return marker;
}

LoopImage::LoopImage(const TempDir& dir, const std::string& type, int megabytes,
                     const std::string& mountPoint, const std::string& mkfsOptions)
    : image_(dir / (type + "-" + std::to_string(std::hash<std::string>{}(mountPoint)) + ".img")),
      mount_point_(mountPoint.empty() ? dir / "mnt" : mountPoint) {
  if (::geteuid() != 0) {
    reason_ = "needs root to attach a loop device";
    return;
  }
  if (RunShell("command -v mkfs." + type) != 0) {
    reason_ = "mkfs." + type + " is not installed";
    return;
  }
  if (::access("/dev/loop-control", F_OK) != 0) {
    reason_ = "no loop devices (/dev/loop-control is missing)";
    return;
  }
  ::mkdir(mount_point_.c_str(), 0755);
  if (RunShell("truncate -s " + std::to_string(megabytes) + "M " + image_) != 0 ||
      RunShell("mkfs." + type + " -q " + (type == "btrfs" ? "-f " : "") + mkfsOptions + " " +
               image_) != 0) {
    reason_ = "could not make a " + type + " image";
    return;
  }
  if (RunShell("mount -o loop " + image_ + " " + mount_point_) != 0) {
    reason_ = "could not mount a " + type + " image on a loop device";
    return;
  }
  mounted_ = true;
}

LoopImage::~LoopImage() {
  Unmount();
}

std::string LoopImage::ReservedClusters() const {
  struct stat st {};
  if (::stat(mount_point_.c_str(), &st) != 0) return {};
  char target[4096];
  const std::string link =
      "/sys/dev/block/" + std::to_string(major(st.st_dev)) + ":" + std::to_string(minor(st.st_dev));
  const ssize_t n = ::readlink(link.c_str(), target, sizeof target - 1);
  if (n <= 0) return {};
  const std::string device(target, static_cast<size_t>(n));
  return ReadFile("/sys/fs/ext4/" + device.substr(device.rfind('/') + 1) + "/reserved_clusters");
}

bool LoopImage::Unmount() {
  if (!mounted_) return true;
  if (RunShell("umount " + mount_point_) != 0) return false;
  mounted_ = false;
  return true;
}

bool LoopImage::ImageContains(const std::string& needle) const {
  std::ifstream in(image_, std::ios::binary);
  const size_t chunk = 1 << 20;
  std::vector<char> buffer(chunk + needle.size());
  size_t carried = 0;
  while (in) {
    in.read(buffer.data() + carried, static_cast<std::streamsize>(chunk));
    const size_t have = carried + static_cast<size_t>(in.gcount());
    if (std::string_view(buffer.data(), have).find(needle) != std::string_view::npos) return true;
    carried = std::min(have, needle.size() - 1);
    std::copy(buffer.begin() + static_cast<long>(have - carried),
              buffer.begin() + static_cast<long>(have), buffer.begin());
    if (in.gcount() == 0) break;
  }
  return false;
}

}  // namespace purgewell::testing
