// Folder and pattern shredding: the walk over a folder tree.
//
// A level's names are read before any of them is shredded: renaming and deleting
// entries while a listing is open could make it return a name twice or skip one.
// Symbolic links are never followed and other mounts are never entered, so a walk
// stays inside the tree it was given.
#include <cerrno>

#include "paths.h"
#include "shred_engine.h"
#include "wildcard.h"

namespace purgewell {
std::string CShredEngine::FullPath(const std::string& path) {
  if (path.empty()) return path;
  std::string full = path;
  if (full.front() != '/') {
    const Result<std::string> cwd = platform_->CurrentDirectory();
    if (cwd.ok()) full = JoinPath(cwd.value, full);
  }
  while (full.size() > 1 && full.back() == '/') full.pop_back();
  return full;
}

void CShredEngine::RunDeleteDirectory(const std::string& folder) {
  IncludeSubfolders = true;
  ErrorNumber = 0;
  const std::string full = FullPath(folder);
  const Result<int> opened = platform_->OpenFolder(kCurrentFolder, full);
  if (opened.ok()) {
    const Result<EntryInfo> self = platform_->Describe(opened.value);
    const Result<EntryInfo> root = platform_->Lookup(kCurrentFolder, "/");
    // The root of the whole system is never a tree to destroy.
    if (self.ok() && root.ok() && self.value.device == root.value.device &&
        self.value.inode == root.value.inode) {
      platform_->Close(opened.value);
      ReportSystemError(EPERM);
      return;
    }
    if (self.ok()) WalkFolder(opened.value, full, {}, true, self.value.mount);
    platform_->Close(opened.value);
  }
  if (int error = platform_->RemoveFolder(kCurrentFolder, full)) ReportSystemError(error);
  Raise({Notification::Kind::DirectoryDeleted, 0, 0, 0, 0, full});
}

void CShredEngine::RunDeleteFiles(const std::string& folder, const std::string& pattern,
                                  bool include) {
  IncludeSubfolders = include;
  ErrorNumber = 0;
  const std::string full = FullPath(folder);
  const Result<int> opened = platform_->OpenFolder(kCurrentFolder, full);
  if (!opened.ok()) return;  // nothing to find
  if (const Result<EntryInfo> self = platform_->Describe(opened.value); self.ok()) {
    WalkFolder(opened.value, full, pattern, false, self.value.mount);
  }
  platform_->Close(opened.value);
}

void CShredEngine::WalkFolder(int fd, const std::string& folder, const std::string& pattern,
                              bool removeFolders, uint64_t mount) {
  const std::string& files = pattern.empty() ? std::string("*.*") : pattern;

  // Files of this level. A folder that cannot be listed is passed over here; a
  // removal of it later reports what is left.
  if (const auto names = platform_->ReadFolder(fd); names.ok()) {
    for (const std::string& name : names.value) {
      if (!MatchesPattern(name, files)) continue;
      const Result<EntryInfo> info = platform_->Lookup(fd, name);
      if (!info.ok() || info.value.type == EntryType::Directory) continue;
      // A pattern walk takes regular files only; links, FIFOs, sockets and device
      // nodes are removed (never opened) only when the whole tree goes.
      if (info.value.type != EntryType::Regular && !removeFolders) continue;
      ShredFoundFile(info.value, fd, name, JoinPath(folder, name));
    }
  }
  if (!IncludeSubfolders) return;

  // Sub-folders, each completely before the next; every name is looked at,
  // whatever the pattern.
  const auto names = platform_->ReadFolder(fd);
  if (!names.ok()) return;
  for (const std::string& name : names.value) {
    const Result<EntryInfo> info = platform_->Lookup(fd, name);
    if (!info.ok() || info.value.type != EntryType::Directory) continue;
    const std::string path = JoinPath(folder, name);
    // Opened without following a link, and checked once open: what is walked is
    // the folder that was found, and another file system mounted inside the
    // tree is not part of it.
    if (const Result<int> sub = platform_->OpenFolder(fd, name); sub.ok()) {
      const Result<EntryInfo> opened = platform_->Describe(sub.value);
      if (opened.ok() && opened.value.mount == mount) {
        WalkFolder(sub.value, path, pattern, removeFolders, mount);
      }
      platform_->Close(sub.value);
    }
    if (removeFolders) {
      if (int error = platform_->RemoveFolder(fd, name)) ReportSystemError(error);
      Raise({Notification::Kind::DirectoryDeleted, 0, 0, 0, 0, path});
    }
  }
}

}  // namespace purgewell
