// A DDEML client. The instance and the conversation are Unicode: Program
// Manager's server in the Windows shell (and Wine's) is a Unicode DDEML server,
// so execute strings reach it as they are, paths with any letters included.
#include "platform/dde.h"

#include <windows.h>
// ddeml.h needs the types of windows.h.
#include <ddeml.h>

#include <string>

#include "platform/win32/unique_handle.h"

namespace platform {

namespace {

struct InstanceTraits {
  static DWORD Invalid() { return 0; }
  static void Close(DWORD instance) { DdeUninitialize(instance); }
};
struct ConversationTraits {
  static HCONV Invalid() { return nullptr; }
  static void Close(HCONV conversation) { DdeDisconnect(conversation); }
};
struct StringHandle {
  DWORD instance;
  HSZ handle;
  bool operator==(const StringHandle&) const = default;
};
struct StringTraits {
  static StringHandle Invalid() { return {0, nullptr}; }
  static void Close(StringHandle s) { DdeFreeStringHandle(s.instance, s.handle); }
};
using UniqueString = win32::UniqueHandle<StringHandle, StringTraits>;

UniqueString MakeString(DWORD instance, std::wstring_view text) {
  const std::wstring value(text);
  HSZ handle = DdeCreateStringHandleW(instance, value.c_str(), CP_WINUNICODE);
  return handle ? UniqueString({instance, handle}) : UniqueString();
}

// A client that only sends execute commands has nothing to answer.
HDDEDATA CALLBACK ClientCallback(UINT, UINT, HCONV, HSZ, HSZ, HDDEDATA, ULONG_PTR, ULONG_PTR) {
  return nullptr;
}

}  // namespace

struct DdeConversation::Impl {
  // Declared in this order so the conversation ends before its instance.
  win32::UniqueHandle<DWORD, InstanceTraits> instance;
  win32::UniqueHandle<HCONV, ConversationTraits> conversation;
};

DdeConversation::DdeConversation() = default;
DdeConversation::~DdeConversation() = default;
DdeConversation::DdeConversation(DdeConversation&&) noexcept = default;
DdeConversation& DdeConversation::operator=(DdeConversation&&) noexcept = default;

bool DdeConversation::Open(std::wstring_view application, std::wstring_view topic) {
  Close();
  auto impl = std::make_unique<Impl>();
  DWORD instance = 0;
  if (DdeInitializeW(&instance, &ClientCallback, APPCMD_CLIENTONLY | CBF_SKIP_ALLNOTIFICATIONS, 0) !=
      DMLERR_NO_ERROR)
    return false;
  impl->instance.Reset(instance);
  const UniqueString service = MakeString(instance, application);
  const UniqueString subject = MakeString(instance, topic);
  if (!service || !subject) return false;
  impl->conversation.Reset(DdeConnect(instance, service.Get().handle, subject.Get().handle, nullptr));
  if (!impl->conversation) return false;
  impl_ = std::move(impl);
  return true;
}

bool DdeConversation::IsOpen() const { return impl_ != nullptr; }

DdeAnswer DdeConversation::Execute(std::wstring_view command, std::uint32_t waitMilliseconds) {
  if (!impl_) return DdeAnswer::NoConversation;
  std::wstring text(command);
  const auto bytes = static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t));
  DWORD status = 0;
  // Synchronous: DDEML runs its own message loop until the acknowledgement
  // comes or the wait runs out.
  const HDDEDATA done =
      DdeClientTransaction(reinterpret_cast<LPBYTE>(text.data()), bytes, impl_->conversation.Get(), nullptr,
                           0, XTYP_EXECUTE, waitMilliseconds, &status);
  if (done) return DdeAnswer::Acknowledged;
  return DdeGetLastError(impl_->instance.Get()) == DMLERR_EXECACKTIMEOUT ? DdeAnswer::TimedOut
                                                                         : DdeAnswer::Refused;
}

void DdeConversation::Close() { impl_.reset(); }

}  // namespace platform
