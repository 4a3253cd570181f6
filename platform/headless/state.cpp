// Scripted boxes, queued events, ending, processes and system facts.
#include <deque>
#include <fstream>
#include <string_view>
#include <system_error>
#include <utility>

#include "platform/dialogs.h"
#include "platform/events.h"
#include "platform/headless/headless.h"
#include "platform/process.h"
#include "platform/system_info.h"

namespace headless {
namespace {

struct State {
  std::deque<int> boxAnswers;
  std::function<int(const ShownBox&)> boxResponder;
  std::vector<ShownBox> boxes;
  std::deque<std::wstring> inputAnswers;
  std::vector<ShownInput> inputs;
  std::deque<std::function<void()>> events;
  bool ended = false;
  std::vector<std::wstring> started;
  bool startSucceeds = true;
  bool desktopShellAnswers = true;
  std::wstring startDirectory;
  std::wstring executablePath = L"C:\\SETUP\\VXRSetup.exe";
  std::wstring tempPath = L"C:\\WINDOWS\\TEMP\\";
  std::wstring windowsDirectory = L"C:\\WINDOWS";
  platform::PixelRect workArea{0, 0, 1024, 768};
  int twipsX = 15, twipsY = 15;
};

State& S() {
  static State state;
  return state;
}

std::vector<void (*)()>& ResetHooks() {
  static std::vector<void (*)()> hooks;
  return hooks;
}

void ResetState() { S() = State{}; }
const ResetHook stateHook{&ResetState};

// The box's default button: the second with MB_DEFBUTTON2.
int DefaultAnswer(std::uint32_t style) {
  const bool second = (style & 0xF00u) == platform::kMbDefButton2;
  switch (style & 0xFu) {
    case platform::kMbOkCancel: return second ? platform::kIdCancel : platform::kIdOk;
    case platform::kMbYesNo: return second ? platform::kIdNo : platform::kIdYes;
    default: return platform::kIdOk;
  }
}

// What GetBinaryType asks of a program: a DOS header that points at a PE
// signature within the file.
bool IsWindowsProgram(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  unsigned char header[64]{};
  if (!in.read(reinterpret_cast<char*>(header), sizeof header) || header[0] != 'M' || header[1] != 'Z')
    return false;
  const std::uint32_t peOffset =
      header[60] | (header[61] << 8) | (header[62] << 16) | (static_cast<std::uint32_t>(header[63]) << 24);
  char signature[4]{};
  in.seekg(peOffset);
  return in.read(signature, sizeof signature) &&
         std::string_view(signature, 4) == std::string_view("PE\0\0", 4);
}

}  // namespace

ResetHook::ResetHook(void (*reset)()) { ResetHooks().push_back(reset); }

void Reset() {
  for (auto* hook : ResetHooks()) hook();
}

bool EndsProgram(const std::function<void()>& action) {
  try {
    action();
  } catch (const ProgramEnded&) {
    return true;
  }
  return false;
}
bool ProgramHasEnded() { return S().ended; }

void QueueBoxAnswer(int answer) { S().boxAnswers.push_back(answer); }
void SetBoxResponder(std::function<int(const ShownBox&)> responder) {
  S().boxResponder = std::move(responder);
}
const std::vector<ShownBox>& ShownBoxes() { return S().boxes; }
void ClearShownBoxes() { S().boxes.clear(); }

void QueueInputAnswer(std::wstring answer) { S().inputAnswers.push_back(std::move(answer)); }
const std::vector<ShownInput>& ShownInputs() { return S().inputs; }

void QueueEvent(std::function<void()> event) { S().events.push_back(std::move(event)); }
int PendingEventCount() { return static_cast<int>(S().events.size()); }

const std::vector<std::wstring>& StartedPrograms() { return S().started; }
void SetStartProgramResult(bool succeeds) { S().startSucceeds = succeeds; }
void SetDesktopShellAnswers(bool answers) { S().desktopShellAnswers = answers; }
const std::wstring& LastStartDirectory() { return S().startDirectory; }
void SetRunningExecutable(std::wstring path) { S().executablePath = std::move(path); }
std::wstring RunningExecutablePath() { return S().executablePath; }
void SetTempPath(std::wstring path) { S().tempPath = std::move(path); }
void SetWindowsDirectory(std::wstring path) { S().windowsDirectory = std::move(path); }
void SetWorkArea(platform::PixelRect area) { S().workArea = area; }
void SetTwipsPerPixel(int x, int y) {
  S().twipsX = x;
  S().twipsY = y;
}

}  // namespace headless

namespace platform {

int ShowMessageBox(std::wstring_view text, std::uint32_t style, std::wstring_view title) {
  auto& s = headless::S();
  headless::ShownBox box{std::wstring(text), style, std::wstring(title), 0};
  if (!s.boxAnswers.empty()) {
    box.answer = s.boxAnswers.front();
    s.boxAnswers.pop_front();
  } else if (s.boxResponder) {
    box.answer = s.boxResponder(box);
  } else {
    box.answer = headless::DefaultAnswer(style);
  }
  s.boxes.push_back(box);
  return box.answer;
}

std::wstring ShowInputBox(std::wstring_view prompt, std::wstring_view title, std::wstring_view defaultText) {
  auto& s = headless::S();
  headless::ShownInput input{std::wstring(prompt), std::wstring(title), std::wstring(defaultText), {}};
  if (!s.inputAnswers.empty()) {
    input.answer = std::move(s.inputAnswers.front());
    s.inputAnswers.pop_front();
  }
  s.inputs.push_back(input);
  return input.answer;
}

void ProcessPendingEvents() {
  auto& s = headless::S();
  // Only what is waiting now; an event queued by a handler waits for the next call.
  auto waiting = std::move(s.events);
  s.events.clear();
  while (!waiting.empty()) {
    auto event = std::move(waiting.front());
    waiting.pop_front();
    event();
  }
}

int RunEventLoop() {
  while (!headless::S().events.empty()) ProcessPendingEvents();
  return 0;
}

void EndProgram() {
  headless::S().ended = true;
  throw headless::ProgramEnded{};
}

DosError StartProgramFile(std::wstring_view programFile, std::wstring_view directory) {
  auto& s = headless::S();
  const auto host = headless::HostPath(programFile);
  std::error_code ec;
  if (host.empty() || !std::filesystem::is_regular_file(host, ec)) return kErrorFileNotFound;
  if (!headless::IsWindowsProgram(host)) return kErrorBadExeFormat;
  if (!s.startSucceeds) return kErrorAccessDenied;
  s.started.emplace_back(programFile);
  s.startDirectory = directory;
  return kErrorSuccess;
}

ProgramStart StartProgramAsUser(std::wstring_view programFile, std::wstring_view directory) {
  // The desktop shell refuses what a direct start would, the same way.
  ProgramStart result;
  result.error = StartProgramFile(programFile, directory);
  result.byDesktopShell = result.error == kErrorSuccess && headless::S().desktopShellAnswers;
  return result;
}

std::wstring OwnExecutablePath() { return headless::S().executablePath; }

std::wstring TempFolder() { return headless::S().tempPath; }
std::wstring WindowsFolder() { return headless::S().windowsDirectory; }
PixelRect WorkArea() { return headless::S().workArea; }
int TwipsPerPixelX() { return headless::S().twipsX; }
int TwipsPerPixelY() { return headless::S().twipsY; }

}  // namespace platform
