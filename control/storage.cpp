#include "storage.h"

namespace purgewell {

bool WriteReachesBlocks(const StorageInfo& storage) {
  switch (storage.fsMagic) {
    case kBtrfsMagic:
      return storage.flagsKnown && (storage.flags & kNoCopyOnWriteFlag) != 0;
    case kBcachefsMagic:
    case kF2fsMagic:
    case kZfsMagic:
      return false;
    default:
      return true;
  }
}

}  // namespace purgewell
