// A scripted DDE server: conversations open only where a test set one up.
#include "platform/dde.h"

#include <cwctype>
#include <deque>

#include "platform/headless/headless.h"
#include "platform/headless/shell_control.h"

namespace headless {
namespace {

struct DdeState {
  std::wstring application, topic;  // upper case; empty: no server
  std::deque<platform::DdeAnswer> answers;
  std::vector<DdeCommand> commands;
  int opened = 0;
  int open = 0;
};

DdeState& D() {
  static DdeState state;
  return state;
}
void ResetDde() { D() = DdeState{}; }
const ResetHook ddeHook{&ResetDde};

std::wstring Upper(std::wstring_view text) {
  std::wstring out(text);
  for (auto& c : out) c = static_cast<wchar_t>(std::towupper(static_cast<wint_t>(c)));
  return out;
}

}  // namespace

void SetDdeServer(std::wstring_view application, std::wstring_view topic) {
  D().application = Upper(application);
  D().topic = Upper(topic);
}
void QueueDdeAnswer(platform::DdeAnswer answer) { D().answers.push_back(answer); }
const std::vector<DdeCommand>& DdeCommands() { return D().commands; }
int DdeConversationsOpened() { return D().opened; }
int OpenDdeConversationCount() { return D().open; }

}  // namespace headless

namespace platform {

struct DdeConversation::Impl {};

DdeConversation::DdeConversation() = default;
DdeConversation::~DdeConversation() { Close(); }
DdeConversation::DdeConversation(DdeConversation&&) noexcept = default;
DdeConversation& DdeConversation::operator=(DdeConversation&& other) noexcept {
  if (this != &other) {
    Close();
    impl_ = std::move(other.impl_);
  }
  return *this;
}

bool DdeConversation::Open(std::wstring_view application, std::wstring_view topic) {
  Close();
  auto& d = headless::D();
  if (d.application.empty() || d.application != headless::Upper(application) ||
      d.topic != headless::Upper(topic))
    return false;
  impl_ = std::make_unique<Impl>();
  ++d.opened;
  ++d.open;
  return true;
}

bool DdeConversation::IsOpen() const { return impl_ != nullptr; }

DdeAnswer DdeConversation::Execute(std::wstring_view command, std::uint32_t) {
  if (!impl_) return DdeAnswer::NoConversation;
  auto& d = headless::D();
  DdeAnswer answer = DdeAnswer::Acknowledged;
  if (!d.answers.empty()) {
    answer = d.answers.front();
    d.answers.pop_front();
  }
  d.commands.push_back({std::wstring(command), answer});
  return answer;
}

void DdeConversation::Close() {
  if (!impl_) return;
  impl_.reset();
  --headless::D().open;
}

}  // namespace platform
