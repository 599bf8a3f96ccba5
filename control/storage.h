// Whether writing through a file reaches the blocks that hold its data now.
//
// On ext4, XFS and other in-place file systems it does, for sparse and encrypted
// files too. On copy-on-write file systems (btrfs unless the file has the
// no-copy-on-write flag, bcachefs, f2fs, ZFS) every write goes to new blocks and
// the old ones are freed with their data still in them.
#pragma once

#include <cstdint>

#include "platform.h"
#include "purgewell_export.h"

namespace purgewell {

inline constexpr uint64_t kBtrfsMagic = 0x9123683E;
inline constexpr uint64_t kBcachefsMagic = 0xCA451A4E;
inline constexpr uint64_t kF2fsMagic = 0xF2F52010;
inline constexpr uint64_t kZfsMagic = 0x2FC12FC1;
inline constexpr uint32_t kNoCopyOnWriteFlag = 0x00800000;  // FS_NOCOW_FL

PURGEWELL_API bool WriteReachesBlocks(const StorageInfo& storage);

// The description of the report made when a shredded file's earlier blocks
// could not be reached.
inline constexpr const char* kCopyOnWriteText =
    "The earlier blocks of this file could not be overwritten on this copy-on-write file "
    "system; wiping the drive's free space overwrites them.";

}  // namespace purgewell
