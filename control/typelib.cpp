#include "typelib.h"

#include <algorithm>
#include <array>

namespace purgewell {
namespace {

constexpr TypeLibraryInfo kLibrary{
    "PurgewellLib",
    "{9D551919-5B7B-4908-AC25-C56A4FBCC9EB}",
    2,
    0,
    "Quintelle, Inc. Purgewell v2",
    "Purgewellv2.chm",
    "_DPurgewell",
    "{EDC5058F-D095-49D7-9F00-95C6B80C11F6}",
    "Dispatch interface for Purgewell Control",
    "_DPurgewellEvents",
    "{886DD22F-4A31-462D-B444-E30B35DB7AC6}",
    "Event interface for Purgewell Control",
    "Purgewell",
    "{13B1B660-6516-4C8A-93C3-50E7EF524CFA}",
    "Purgewell Control",
};

constexpr std::array<ParamInfo, 2> kDeleteFileParams{
    {{"sFileName", ArgType::Text}, {"lNumberOfPasses", ArgType::Long}}};
constexpr std::array<ParamInfo, 2> kClearFreeSpaceParams{
    {{"sDriveLetter", ArgType::Text}, {"lNumberOfPasses", ArgType::Long}}};
constexpr std::array<ParamInfo, 2> kDeleteDirectoryParams{
    {{"sDirectory", ArgType::Text}, {"lNumberOfPasses", ArgType::Long}}};
constexpr std::array<ParamInfo, 4> kDeleteFilesParams{{{"sDirectory", ArgType::Text},
                                                       {"sSearchPattern", ArgType::Text},
                                                       {"bIncludeSubdirectories", ArgType::Bool},
                                                       {"lPasses", ArgType::Long}}};

constexpr std::array<MemberInfo, 10> kMembers{{
    {DISPID_ABOUTBOX, "AboutBox", MemberKind::Method, {}, false, ArgType::Long, ""},
    {DISPID_VERSION,
     "Version",
     MemberKind::ReadOnlyProperty,
     {},
     true,
     ArgType::Text,
     "Human readible version description"},
    {DISPID_LASTERRORDESCRIPTION,
     "LastErrorDescription",
     MemberKind::ReadOnlyProperty,
     {},
     true,
     ArgType::Text,
     "Human readible description of the last error that occurred."},
    {DISPID_LASTERRORNUMBER,
     "LastErrorNumber",
     MemberKind::ReadOnlyProperty,
     {},
     true,
     ArgType::Long,
     "The Error Code of the last error."},
    {DISPID_DELETEFILE, "DeleteFile", MemberKind::Method, kDeleteFileParams, true, ArgType::Bool,
     "Deletes a file securely from the disk"},
    {DISPID_CLEARFREESPACE, "ClearFreeSpace", MemberKind::Method, kClearFreeSpaceParams, true,
     ArgType::Bool, "Wipes the free space to remove any previously delete data."},
    {DISPID_ASYNCHRONOUS,
     "Asynchronous",
     MemberKind::Property,
     {},
     true,
     ArgType::Bool,
     "Whether to block or not to block, that is the question."},
    {DISPID_DELETEDIRECTORY, "DeleteDirectory", MemberKind::Method, kDeleteDirectoryParams, true,
     ArgType::Bool, "Deletes a directory and all of the files and subdirectories in it securely."},
    {DISPID_DELETEFILES, "DeleteFiles", MemberKind::Method, kDeleteFilesParams, true, ArgType::Bool,
     "Delete files from a directory using a search pattern"},
    {DISPID_CANCELCURRENTOPERATION,
     "CancelCurrentOperation",
     MemberKind::Method,
     {},
     false,
     ArgType::Long,
     "Cancels any operations currently in progress"},
}};

constexpr std::array<ParamInfo, 4> kProgressParams{{{"lBytesProcessed", ArgType::Long},
                                                    {"lTotalFileSize", ArgType::Long},
                                                    {"lCurrentPassNumber", ArgType::Long},
                                                    {"sFileName", ArgType::Text}}};
constexpr std::array<ParamInfo, 2> kErrorParams{
    {{"lErrorCode", ArgType::Long}, {"sErrorDescription", ArgType::Text}}};
constexpr std::array<ParamInfo, 1> kFileDeletedParams{{{"sFileName", ArgType::Text}}};
constexpr std::array<ParamInfo, 1> kDirectoryDeletedParams{{{"sDirectoryName", ArgType::Text}}};
constexpr std::array<ParamInfo, 4> kFreeSpaceParams{{{"sDrive", ArgType::Text},
                                                     {"lPercentage", ArgType::Long},
                                                     {"lKBCleared", ArgType::Long},
                                                     {"lTotalFreeSpaceKB", ArgType::Long}}};
constexpr std::array<ParamInfo, 1> kCleanFreeSpaceParams{{{"sDrive", ArgType::Text}}};

constexpr std::array<EventInfo, 6> kEvents{{
    {EVENTID_ONFILEDELETEPROGRESS, "OnFileDeleteProgress", kProgressParams},
    {EVENTID_ONERROR, "OnError", kErrorParams},
    {EVENTID_ONFILEDELETED, "OnFileDeleted", kFileDeletedParams},
    {EVENTID_ONDIRECTORYDELETED, "OnDirectoryDeleted", kDirectoryDeletedParams},
    {EVENTID_ONFREESPACEWIPEPROGRESS, "OnFreeSpaceWipeProgress", kFreeSpaceParams},
    {EVENTID_ONCLEANFREESPACE, "OnCleanFreeSpace", kCleanFreeSpaceParams},
}};

}  // namespace

const TypeLibraryInfo& TypeLibrary() {
  return kLibrary;
}
std::span<const MemberInfo> DispatchMembers() {
  return kMembers;
}
std::span<const EventInfo> EventMembers() {
  return kEvents;
}

const MemberInfo* FindMember(int32_t dispid) {
  auto it = std::ranges::find(kMembers, dispid, &MemberInfo::dispid);
  return it == kMembers.end() ? nullptr : &*it;
}

const EventInfo* FindEvent(int32_t dispid) {
  auto it = std::ranges::find(kEvents, dispid, &EventInfo::dispid);
  return it == kEvents.end() ? nullptr : &*it;
}

}  // namespace purgewell
