// Free-space wiping: fill the file system with two nameless files, overwriting
// every piece with the pass sequence files get, then close them.
#include <algorithm>
#include <cerrno>
#include <vector>

#include "paths.h"
#include "pattern_buffers.h"
#include "shred_engine.h"

namespace purgewell {
namespace {

constexpr uint64_t kClustersPerPiece = 128;
constexpr uint64_t kTimedReportMs = 500;

int32_t Low32(uint64_t value) {
  return static_cast<int32_t>(static_cast<uint32_t>(value));
}

}  // namespace

void CShredEngine::RaiseFreeSpace(const std::string& drive, uint64_t written, uint64_t totalFree) {
  const uint64_t percentage = totalFree == 0 ? 0 : written * 100 / totalFree;
  Raise({Notification::Kind::FreeSpace, Low32(written / 1024), Low32(totalFree / 1024), 0,
         Low32(percentage), drive});
}

void CShredEngine::ClearDriveFreeSpace(const std::string& drive) {
  ReportProgress = false;  // fill-file overwrites raise no file progress
  ErrorNumber = 0;

  // An empty text or one that names no folder is refused before anything happens.
  const Result<FreeSpaceInfo> space =
      drive.empty() ? Result<FreeSpaceInfo>::Fail(ENOENT) : platform_->FreeSpace(drive);
  if (!space.ok()) {
    ReportSystemError(space.error);
    return;
  }
  Raise({Notification::Kind::FreeSpace, 0, 0, 0, 0, drive});

  // Without a pass nothing is ever written, and the fill would never end.
  if (Passes == 0) {
    ReportSystemError(EINVAL);
    return;
  }
  const uint64_t total_free = space.value.totalFree;
  if (space.value.quotaRoom < total_free) {
    ReportError(EDQUOT, "Your disk quota prevents you from cleaning free space on this drive.");
    return;
  }
  const uint64_t cluster = space.value.clusterSize ? space.value.clusterSize : 4096;

  std::vector<int> handles;
  const Result<int> first = platform_->CreateFillFile(JoinPath(drive, "PGWTEMP"), true);
  if (!first.ok()) {
    ReportSystemError(first.error);
    return;
  }
  // Blocks the file system keeps back are free blocks too: take them for the run.
  const ReservedSpace reserved = platform_->ReleaseReservedSpace(drive);
  handles.push_back(first.value);

  uint64_t piece = kClustersPerPiece * cluster;
  uint64_t written = 0;
  int64_t last_percentage = -1;
  uint64_t last_report = platform_->TickMs();

  auto percentage_of = [&](uint64_t bytes) -> int64_t {
    return total_free == 0 ? 0 : static_cast<int64_t>(bytes * 100 / total_free);
  };
  auto timed_report = [&] {
    const uint64_t now = platform_->TickMs();
    if (now - last_report > kTimedReportMs) {
      RaiseFreeSpace(drive, written, total_free);
      last_report = now;
    }
  };
  auto report_if_changed = [&](uint64_t bytes) {
    const int64_t percentage = percentage_of(bytes);
    if (percentage != last_percentage) {
      RaiseFreeSpace(drive, bytes, total_free);
      last_percentage = percentage;
    }
  };

  // Writes pieces into `fd` while they are larger than `floor`, each failure
  // making the piece `step` bytes smaller. With `count_file`, what failed pieces
  // left in the file counts too: its real size is taken after each success.
  auto fill = [&](int fd, uint64_t floor, uint64_t step, bool count_file) {
    WriteCursor cursor{fd, 0};
    while (piece > floor) {
      if (CancelFlag.load()) {
        ReportSystemError(ECANCELED);
        return;
      }
      timed_report();
      if (OverwriteRegion(cursor, piece) != 0) {
        piece -= step;
        continue;
      }
      written += piece;
      const uint64_t reported = written;
      if (count_file) {
        if (const Result<uint64_t> size = platform_->FileSize(fd); size.ok()) written = size.value;
      }
      report_if_changed(reported);
    }
  };

  // First fill: unbuffered pieces of 128 clusters, one cluster smaller after each
  // failure, until even two clusters no longer fit.
  fill(first.value, cluster, cluster, true);

  // Second fill: write-through pieces, one byte smaller after each failure.
  const Result<int> second = platform_->CreateFillFile(JoinPath(drive, "PGWTEMP1"), false);
  if (second.ok()) {
    handles.push_back(second.value);
    fill(second.value, 0, 1, false);
  }

  // Closing the nameless files gives their blocks back.
  for (int fd : handles) platform_->Close(fd);
  platform_->RestoreReservedSpace(reserved);
  RaiseFreeSpace(drive, written, total_free);
}

}  // namespace purgewell
