#include "purgewell_ctrl.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>

#include "typelib.h"

namespace purgewell {
namespace {

constexpr auto kWaitSlice = std::chrono::milliseconds(50);

// Converts one dispatch argument to the member's parameter type.
bool Coerce(const Variant& in, ArgType type, Variant& out) {
  switch (type) {
    case ArgType::Text:
      if (in.kind != Variant::Kind::Text) return false;
      out = in;
      return true;
    case ArgType::Long:
    case ArgType::Bool:
      if (in.kind != Variant::Kind::Long && in.kind != Variant::Kind::Bool) return false;
      out = in;
      return true;
  }
  return false;
}

}  // namespace

CPurgewellCtrl::CPurgewellCtrl(std::shared_ptr<HostExecutor> host,
                               std::shared_ptr<Platform> platform)
    : host_(std::move(host)), engine_(std::move(platform)) {}

CPurgewellCtrl::~CPurgewellCtrl() {
  destroying_ = true;  // no event from here on
  engine_.CancelFlag.store(true);
  if (auto sink = CurrentSink()) sink->Close();  // releases a worker waiting on the host
  if (worker_.joinable()) worker_.join();
}

std::string CPurgewellCtrl::Version() const {
  char text[64];
  std::snprintf(text, sizeof text, "Version: %i.%i.%i", 2, 0, 3);
  return text;
}

std::string CPurgewellCtrl::LastErrorDescription() const {
  std::lock_guard lock(last_error_mutex_);
  return last_error_text_;
}

int32_t CPurgewellCtrl::LastErrorNumber() const {
  std::lock_guard lock(last_error_mutex_);
  return last_error_number_;
}

std::pair<int32_t, std::string> CPurgewellCtrl::LastError() const {
  std::lock_guard lock(last_error_mutex_);
  return {last_error_number_, last_error_text_};
}

void CPurgewellCtrl::PublishLastError(int32_t number, std::string text) {
  std::lock_guard lock(last_error_mutex_);
  last_error_number_ = number;
  last_error_text_ = std::move(text);
}

void CPurgewellCtrl::SetAsynchronous(int16_t value) {
  asynchronous_ = value != 0;
  modified_ = true;
}

std::shared_ptr<CEventSink> CPurgewellCtrl::CurrentSink() const {
  std::lock_guard lock(sink_mutex_);
  return sink_;
}

bool CPurgewellCtrl::DeleteFile(const std::string& sFileName, int32_t lNumberOfPasses) {
  return Start(Operation::DeleteFile, sFileName, lNumberOfPasses, {}, false);
}

bool CPurgewellCtrl::ClearFreeSpace(const std::string& sDriveLetter, int32_t lNumberOfPasses) {
  return Start(Operation::ClearFreeSpace, sDriveLetter, lNumberOfPasses, {}, false);
}

bool CPurgewellCtrl::DeleteDirectory(const std::string& sDirectory, int32_t lNumberOfPasses) {
  return Start(Operation::DeleteDirectory, sDirectory, lNumberOfPasses, {}, true);
}

bool CPurgewellCtrl::DeleteFiles(const std::string& sDirectory, const std::string& sSearchPattern,
                                 int16_t bIncludeSubdirectories, int32_t lPasses) {
  return Start(Operation::DeleteFiles, sDirectory, lPasses, sSearchPattern,
               bIncludeSubdirectories != 0);
}

void CPurgewellCtrl::CancelCurrentOperation() {
  engine_.CancelFlag.store(true);
}

void CPurgewellCtrl::AboutBox() {}

bool CPurgewellCtrl::Start(Operation operation, std::string argument, int32_t passes,
                           std::string pattern, bool include) {
  // One operation at a time: a second one is refused without a trace.
  if (running_.load() || destroying_) return false;

  // A negative count would be an endless overwrite as an unsigned number.
  if (passes < 0) {
    std::string text = SystemErrorText(EINVAL);
    PublishLastError(EINVAL, text);
    Fire(EVENTID_ONERROR, {Variant::Long(EINVAL), Variant::Text(std::move(text))});
    return false;
  }

  // An earlier asynchronous worker has ended (running_ is false) but may still be
  // on its way out.
  if (worker_.joinable()) worker_.join();

  engine_.Passes = static_cast<uint32_t>(passes);
  engine_.ErrorNumber = 0;
  engine_.ErrorText.clear();
  auto sink = CEventSink::Create(
      host_, [this](const Notification& n) { Deliver(n); },
      [this] {
        {
          std::lock_guard lock(wait_mutex_);
          wake_ = true;
        }
        wait_cv_.notify_all();
      });
  engine_.SinkWindow = sink;
  {
    std::lock_guard lock(sink_mutex_);
    sink_ = std::move(sink);
  }
  engine_.CancelFlag.store(false);

  ShredThreadParams params{operation, std::move(argument), asynchronous_, include,
                           std::move(pattern)};
  {
    std::lock_guard lock(wait_mutex_);
    wake_ = false;
  }
  running_.store(true);
  const bool asynchronous = params.asynchronous;
  worker_ = std::thread([this, params = std::move(params)] {
    const int16_t result = WorkerMain(params);
    if (!params.asynchronous) result_ = result;
    running_.store(false);
    {
      std::lock_guard lock(wait_mutex_);
      wake_ = true;
    }
    wait_cv_.notify_all();
  });
  if (asynchronous) return false;

  WaitForWorker();
  worker_.join();
  return result_ == VARIANT_TRUE;
}

void CPurgewellCtrl::WaitForWorker() {
  // Slices of at most 50 ms; a notification the worker sends cuts a slice short, so
  // the worker does not sit waiting for the next pump.
  while (running_.load()) {
    {
      std::unique_lock lock(wait_mutex_);
      wait_cv_.wait_for(lock, kWaitSlice, [this] { return wake_; });
      wake_ = false;
    }
    if (!running_.load()) break;
    host_->Pump();
  }
}

int16_t CPurgewellCtrl::WorkerMain(const ShredThreadParams& params) {
  RunOperation(params);
  PublishLastError(engine_.ErrorNumber, engine_.ErrorText);
  engine_.SinkWindow.reset();
  std::shared_ptr<CEventSink> sink;
  {
    std::lock_guard lock(sink_mutex_);
    sink.swap(sink_);
  }
  if (sink) sink->Close();  // queued progress goes with it
  return engine_.ErrorNumber == 0 ? VARIANT_TRUE : VARIANT_FALSE;
}

void CPurgewellCtrl::RunOperation(const ShredThreadParams& params) {
  engine_.IncludeSubfolders = params.includeSubfolders;
  switch (params.operation) {
    case Operation::DeleteFile:
      engine_.RunDeleteFile(params.argument);
      return;
    case Operation::ClearFreeSpace:
      engine_.ClearDriveFreeSpace(params.argument);
      return;
    case Operation::DeleteDirectory:
      engine_.RunDeleteDirectory(params.argument);
      return;
    case Operation::DeleteFiles:
      engine_.RunDeleteFiles(params.argument, params.pattern, params.includeSubfolders);
      return;
  }
}

void CPurgewellCtrl::Deliver(const Notification& n) {
  switch (n.kind) {
    case Notification::Kind::Progress:
      Fire(EVENTID_ONFILEDELETEPROGRESS,
           {Variant::Long(n.n1), Variant::Long(n.n2), Variant::Long(n.n3), Variant::Text(n.text)});
      break;
    case Notification::Kind::Error:
      Fire(EVENTID_ONERROR, {Variant::Long(n.n1), Variant::Text(n.text)});
      break;
    case Notification::Kind::FileDeleted:
      Fire(EVENTID_ONFILEDELETED, {Variant::Text(n.text)});
      break;
    case Notification::Kind::DirectoryDeleted:
      Fire(EVENTID_ONDIRECTORYDELETED, {Variant::Text(n.text)});
      break;
    case Notification::Kind::FreeSpace:
      Fire(EVENTID_ONFREESPACEWIPEPROGRESS,
           {Variant::Text(n.text), Variant::Long(n.n4), Variant::Long(n.n1), Variant::Long(n.n2)});
      break;
  }
}

void CPurgewellCtrl::Fire(int32_t eventId, std::vector<Variant> args) {
  if (destroying_) return;
  // A handler may unadvise (itself or another sink): call only those still advised.
  const auto snapshot = sinks_;
  for (const auto& [cookie, sink] : snapshot) {
    if (destroying_) return;
    const bool advised = std::ranges::any_of(
        sinks_, [cookie = cookie](const auto& entry) { return entry.first == cookie; });
    if (advised) sink->Invoke(eventId, args);
  }
}

uint32_t CPurgewellCtrl::Advise(PurgewellEvents* sink) {
  const uint32_t cookie = next_cookie_++;
  sinks_.emplace_back(cookie, sink);
  return cookie;
}

void CPurgewellCtrl::Unadvise(uint32_t cookie) {
  std::erase_if(sinks_, [cookie](const auto& entry) { return entry.first == cookie; });
}

HRESULT CPurgewellCtrl::Invoke(int32_t dispid, InvokeKind kind, const std::vector<Variant>& args,
                               Variant* result) {
  const MemberInfo* member = FindMember(dispid);
  if (member == nullptr) return DISP_E_MEMBERNOTFOUND;

  if (member->kind != MemberKind::Method) {
    if (kind == InvokeKind::PropertyPut) {
      if (member->kind == MemberKind::ReadOnlyProperty) return CTL_E_SETNOTSUPPORTED;
      if (args.size() != 1) return DISP_E_BADPARAMCOUNT;
      Variant value;
      if (!Coerce(args[0], member->resultType, value)) return DISP_E_TYPEMISMATCH;
      SetAsynchronous(static_cast<int16_t>(value.number));  // the 16-bit value given
      return S_OK;
    }
    if (!args.empty()) return DISP_E_BADPARAMCOUNT;
    Variant value;
    switch (dispid) {
      case DISPID_VERSION:
        value = Variant::Text(Version());
        break;
      case DISPID_LASTERRORDESCRIPTION:
        value = Variant::Text(LastErrorDescription());
        break;
      case DISPID_LASTERRORNUMBER:
        value = Variant::Long(LastErrorNumber());
        break;
      case DISPID_ASYNCHRONOUS:
        value = Variant::Bool(Asynchronous());
        break;
    }
    if (result) *result = std::move(value);
    return S_OK;
  }

  if (kind != InvokeKind::Method) return DISP_E_MEMBERNOTFOUND;
  if (args.size() != member->params.size()) return DISP_E_BADPARAMCOUNT;
  std::vector<Variant> a(args.size());
  for (size_t i = 0; i < args.size(); ++i) {
    if (!Coerce(args[i], member->params[i].type, a[i])) return DISP_E_TYPEMISMATCH;
  }

  Variant value;
  switch (dispid) {
    case DISPID_ABOUTBOX:
      AboutBox();
      break;
    case DISPID_CANCELCURRENTOPERATION:
      CancelCurrentOperation();
      break;
    case DISPID_DELETEFILE:
      value = Variant::Bool(DeleteFile(a[0].text, a[1].number));
      break;
    case DISPID_CLEARFREESPACE:
      value = Variant::Bool(ClearFreeSpace(a[0].text, a[1].number));
      break;
    case DISPID_DELETEDIRECTORY:
      value = Variant::Bool(DeleteDirectory(a[0].text, a[1].number));
      break;
    case DISPID_DELETEFILES:
      value = Variant::Bool(
          DeleteFiles(a[0].text, a[1].text, static_cast<int16_t>(a[2].number), a[3].number));
      break;
  }
  if (result) *result = std::move(value);
  return S_OK;
}

}  // namespace purgewell
