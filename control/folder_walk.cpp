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
  const Result<EntryInfo> self = platform_->Lookup(full);

  // The root of the whole system is never a tree to destroy.
  const Result<EntryInfo> root = platform_->Lookup("/");
  if (self.ok() && root.ok() && self.value.device == root.value.device &&
      self.value.inode == root.value.inode) {
    ReportSystemError(EPERM);
    return;
  }

  if (self.ok() && self.value.type == EntryType::Directory) {
    WalkFolder(full, {}, true, self.value.mount);
  }
  if (int error = platform_->RemoveDirectory(full)) ReportSystemError(error);
  Raise({Notification::Kind::DirectoryDeleted, 0, 0, 0, 0, full});
}

void CShredEngine::RunDeleteFiles(const std::string& folder, const std::string& pattern,
                                  bool include) {
  IncludeSubfolders = include;
  ErrorNumber = 0;
  const std::string full = FullPath(folder);
  const Result<EntryInfo> self = platform_->Lookup(full);
  if (self.ok() && self.value.type == EntryType::Directory) {
    WalkFolder(full, pattern, false, self.value.mount);
  }
}

void CShredEngine::WalkFolder(const std::string& folder, const std::string& pattern,
                              bool removeFolders, uint64_t mount) {
  const std::string& files = pattern.empty() ? std::string("*.*") : pattern;

  // Files of this level. A folder that cannot be listed is passed over here; a
  // removal of it later reports what is left.
  if (const auto names = platform_->ReadDirectory(folder); names.ok()) {
    for (const std::string& name : names.value) {
      if (!MatchesPattern(name, files)) continue;
      const std::string path = JoinPath(folder, name);
      const Result<EntryInfo> info = platform_->Lookup(path);
      if (!info.ok() || info.value.type == EntryType::Directory) continue;
      // A pattern walk takes regular files only; links, FIFOs, sockets and device
      // nodes are removed (never opened) only when the whole tree goes.
      if (info.value.type != EntryType::Regular && !removeFolders) continue;
      ShredFoundFile(info.value, path);
    }
  }
  if (!IncludeSubfolders) return;

  // Sub-folders, each completely before the next; every name is looked at,
  // whatever the pattern.
  const auto names = platform_->ReadDirectory(folder);
  if (!names.ok()) return;
  for (const std::string& name : names.value) {
    const std::string path = JoinPath(folder, name);
    const Result<EntryInfo> info = platform_->Lookup(path);
    if (!info.ok() || info.value.type != EntryType::Directory) continue;
    // Another file system mounted inside the tree is not part of it.
    if (info.value.mount == mount) WalkFolder(path, pattern, removeFolders, mount);
    if (removeFolders) {
      if (int error = platform_->RemoveDirectory(path)) ReportSystemError(error);
      Raise({Notification::Kind::DirectoryDeleted, 0, 0, 0, 0, path});
    }
  }
}

}  // namespace purgewell
