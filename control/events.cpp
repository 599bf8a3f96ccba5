#include "events.h"

#include "typelib.h"

namespace purgewell {

PurgewellEvents::~PurgewellEvents() = default;

void PurgewellEventHandler::Invoke(int32_t eventId, const std::vector<Variant>& a) {
  const EventInfo* info = FindEvent(eventId);
  if (info == nullptr || a.size() != info->params.size()) return;
  switch (eventId) {
    case EVENTID_ONFILEDELETEPROGRESS:
      OnFileDeleteProgress(a[0].number, a[1].number, a[2].number, a[3].text);
      break;
    case EVENTID_ONERROR:
      OnError(a[0].number, a[1].text);
      break;
    case EVENTID_ONFILEDELETED:
      OnFileDeleted(a[0].text);
      break;
    case EVENTID_ONDIRECTORYDELETED:
      OnDirectoryDeleted(a[0].text);
      break;
    case EVENTID_ONFREESPACEWIPEPROGRESS:
      OnFreeSpaceWipeProgress(a[0].text, a[1].number, a[2].number, a[3].number);
      break;
    case EVENTID_ONCLEANFREESPACE:
      OnCleanFreeSpace(a[0].text);
      break;
  }
}

}  // namespace purgewell
