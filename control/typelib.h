// Identity of the control's type library, its interfaces and members: the data a
// registration writes and a host's browser shows.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "purgewell_export.h"
#include "variant.h"

namespace purgewell {

// Member identifiers of _DPurgewell.
enum DispId : int32_t {
  DISPID_ABOUTBOX = -552,
  DISPID_VERSION = 1,
  DISPID_LASTERRORDESCRIPTION = 2,
  DISPID_LASTERRORNUMBER = 3,
  DISPID_DELETEFILE = 5,
  DISPID_CLEARFREESPACE = 6,
  DISPID_ASYNCHRONOUS = 7,
  DISPID_DELETEDIRECTORY = 8,
  DISPID_DELETEFILES = 9,
  DISPID_CANCELCURRENTOPERATION = 10,
};

// Event identifiers of _DPurgewellEvents.
enum EventId : int32_t {
  EVENTID_ONFILEDELETEPROGRESS = 1,
  EVENTID_ONERROR = 2,
  EVENTID_ONFILEDELETED = 3,
  EVENTID_ONDIRECTORYDELETED = 4,
  EVENTID_ONFREESPACEWIPEPROGRESS = 5,
  EVENTID_ONCLEANFREESPACE = 6,
};

enum class ArgType { Long, Bool, Text };
enum class MemberKind { Method, ReadOnlyProperty, Property };

struct ParamInfo {
  std::string_view name;
  ArgType type;
};

struct MemberInfo {
  int32_t dispid;
  std::string_view name;
  MemberKind kind;
  std::span<const ParamInfo> params;
  bool hasResult;
  ArgType resultType;  // meaningful when hasResult
  std::string_view helpString;
};

struct EventInfo {
  int32_t dispid;
  std::string_view name;
  std::span<const ParamInfo> params;
};

struct TypeLibraryInfo {
  std::string_view name;
  std::string_view libraryId;
  uint16_t majorVersion;
  uint16_t minorVersion;
  std::string_view helpString;
  std::string_view helpFile;
  std::string_view dispatchName;
  std::string_view dispatchId;
  std::string_view dispatchHelp;
  std::string_view eventsName;
  std::string_view eventsId;
  std::string_view eventsHelp;
  std::string_view className;
  std::string_view classId;
  std::string_view classHelp;
};

PURGEWELL_API const TypeLibraryInfo& TypeLibrary();
PURGEWELL_API std::span<const MemberInfo> DispatchMembers();
PURGEWELL_API std::span<const EventInfo> EventMembers();

// The member with identifier `dispid`, or null.
PURGEWELL_API const MemberInfo* FindMember(int32_t dispid);
PURGEWELL_API const EventInfo* FindEvent(int32_t dispid);

}  // namespace purgewell
