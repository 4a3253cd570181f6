// A DDE client conversation that carries execute commands only (a "manual" link
// that never asks for data), as Program Manager's command interface uses it.
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>

namespace platform {

enum class DdeAnswer : std::uint8_t {
  Acknowledged,    // the server carried the command out
  Refused,         // the server answered that it did not
  TimedOut,        // no answer within the wait
  NoConversation,  // the conversation is not open
};

class DdeConversation {
 public:
  DdeConversation();
  ~DdeConversation();  // closes the conversation
  DdeConversation(DdeConversation&&) noexcept;
  DdeConversation& operator=(DdeConversation&&) noexcept;
  DdeConversation(const DdeConversation&) = delete;
  DdeConversation& operator=(const DdeConversation&) = delete;

  // Opens a conversation with a server of `application` on `topic`; false when
  // none answers. An open conversation is closed first.
  bool Open(std::wstring_view application, std::wstring_view topic);
  bool IsOpen() const;
  // Sends one execute command and waits up to `waitMilliseconds` for its
  // acknowledgement.
  DdeAnswer Execute(std::wstring_view command, std::uint32_t waitMilliseconds);
  void Close();

  struct Impl;

 private:
  std::unique_ptr<Impl> impl_;
};

}  // namespace platform
