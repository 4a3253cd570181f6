// vxr-driver: works another program's windows as a person would, for the tests
// under Wine. It refuses to click what is hidden or disabled, or in a disabled
// window (behind a modal box): Wine runs a disabled button's handler on BM_CLICK.
//   vxr-driver.exe [--desktop NAME] [--timeout SECONDS] COMMAND [ARG...]   exit 0 done, 1 failed, 2 usage
//   vxr-driver.exe [--desktop NAME] [--timeout SECONDS] -
//       commands from standard input, each answered with its output and "ok" or
//       "fail: REASON", so that a host script can pace it (bash coproc).
// "Double quotes" keep blanks (\" and \\ inside them are literal); UTF-8 in and
// out. Waits poll until the time-out (20 s unless set). CONTROL: a caption as
// set ("&" included), #ID, or "." for the current window; visible ones win.
//   window TITLE | gone TITLE       wait for a visible top-level window (it becomes
//                                   current) | until no window has that title
//   list                            id, class, visible, enabled, caption of each control
//   click CONTROL | close           a button, check or option | the close box
//   expect CONTROL PROPERTY VALUE   wait until text, visible, enabled, checked (0/1)
//                                   or selected (a list's line, unindented) reads VALUE
//   items CONTROL                   a list's or drop-down list's lines
//   select CONTROL TEXT             the drop-down line beginning with TEXT, as the keyboard
//   box TITLE | expect-box TITLE TEXT
//                                   wait for a message or input box; prints title, text
//   press ID | type TEXT            the box's button, until it has gone | into its edit
//   move-box below                  the box just below the current window
//   desktop NAME | timeout SECONDS  join a desktop (wine explorer /desktop=) | set waits
#include <windows.h>
// After windows.h.
#include <shellapi.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/win32/win32_text.h"
#include "tests/wine/utf8_line.h"

namespace {

using Args = std::vector<std::wstring>;
struct Failure {
  std::wstring reason;
};

DWORD timeoutMs = 20000;
HWND currentWindow = nullptr, currentBox = nullptr;

// Line breaks and tabs inside a caption would break the line format.
std::wstring OneLine(std::wstring text) {
  std::replace_if(
      text.begin(), text.end(), [](wchar_t c) { return c == L'\r' || c == L'\n' || c == L'\t'; }, L' ');
  return text;
}

LRESULT SendTo(HWND control, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutW(control, message, wParam, lParam, SMTO_ABORTIFHUNG, 5000, &result))
    throw Failure{L"the window does not answer"};
  return static_cast<LRESULT>(result);
}

// WM_GETTEXT crosses processes, and unlike GetWindowText it reads edit controls
// too. A window that does not answer reads as empty.
std::wstring TextOf(HWND window) {
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &length)) return {};
  std::wstring text(length + 1, L'\0');
  DWORD_PTR copied = 0;
  SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                      SMTO_ABORTIFHUNG, 5000, &copied);
  text.resize(copied);
  return text;
}

std::wstring ClassOf(HWND window) {
  wchar_t name[128]{};
  GetClassNameW(window, name, 128);
  return name;
}
bool IsClass(HWND window, const wchar_t* name) { return lstrcmpiW(ClassOf(window).c_str(), name) == 0; }

BOOL CALLBACK Collect(HWND window, LPARAM list) {
  reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
  return TRUE;
}
// The top-level windows, or the descendants of `parent`.
std::vector<HWND> Windows(HWND parent = nullptr) {
  std::vector<HWND> windows;
  if (parent)
    EnumChildWindows(parent, Collect, reinterpret_cast<LPARAM>(&windows));
  else
    EnumWindows(Collect, reinterpret_cast<LPARAM>(&windows));
  return windows;
}

// Polls `probe` until it gives a value or the time-out passes.
template <typename Probe>
auto WaitFor(Probe probe, const std::wstring& what) {
  for (const ULONGLONG end = GetTickCount64() + timeoutMs;; Sleep(50)) {
    if (auto found = probe()) return found;
    if (GetTickCount64() > end) throw Failure{L"timed out waiting for " + what};
  }
}

// A top-level window of that title (and class, if given).
HWND FindTopLevel(const std::wstring& title, const wchar_t* className, bool visibleOnly) {
  for (HWND window : Windows())
    if ((!visibleOnly || IsWindowVisible(window)) && (!className || ClassOf(window) == className) &&
        TextOf(window) == title)
      return window;
  return nullptr;
}

HWND Current(HWND& window, const wchar_t* what) {
  if (!window || !IsWindow(window)) throw Failure{std::wstring(L"no current ") + what};
  return window;
}

HWND FindControl(const std::wstring& name) {
  HWND window = Current(currentWindow, L"window (use: window TITLE)"), fallback = nullptr;
  if (name == L".") return window;
  const bool byId = name.size() > 1 && name[0] == L'#';
  for (HWND child : Windows(window)) {
    if (byId ? GetDlgCtrlID(child) != _wtoi(name.c_str() + 1) : TextOf(child) != name) continue;
    if (IsWindowVisible(child)) return child;
    if (!fallback) fallback = child;
  }
  if (!fallback) throw Failure{L"no control " + name};
  return fallback;
}

// What a person could press: shown, enabled, and nothing above it disabled.
void RequirePressable(HWND control, const std::wstring& name) {
  if (!IsWindowVisible(control)) throw Failure{name + L" is not visible"};
  for (HWND w = control; w && w != GetDesktopWindow(); w = GetAncestor(w, GA_PARENT))
    if (!IsWindowEnabled(w))
      throw Failure{name + (w == control ? L" is disabled" : L" is in a disabled window")};
}

// The lines of a list box or a drop-down list (their texts cross processes).
std::vector<std::wstring> Lines(HWND control) {
  const bool combo = IsClass(control, L"ComboBox");
  if (!combo && !IsClass(control, L"ListBox")) throw Failure{L"not a list: " + ClassOf(control)};
  std::vector<std::wstring> lines(
      static_cast<std::size_t>(SendTo(control, combo ? CB_GETCOUNT : LB_GETCOUNT)));
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const LRESULT length = SendTo(control, combo ? CB_GETLBTEXTLEN : LB_GETTEXTLEN, i);
    lines[i].assign(static_cast<std::size_t>(std::max<LRESULT>(length, 0)) + 1, L'\0');
    SendTo(control, combo ? CB_GETLBTEXT : LB_GETTEXT, i, reinterpret_cast<LPARAM>(lines[i].data()));
    lines[i].pop_back();
  }
  return lines;
}

std::wstring Property(HWND control, const std::wstring& property) {
  if (property == L"text") return TextOf(control);
  if (property == L"visible") return IsWindowVisible(control) ? L"1" : L"0";
  if (property == L"enabled") return IsWindowEnabled(control) ? L"1" : L"0";
  if (property == L"checked") return SendTo(control, BM_GETCHECK) == BST_CHECKED ? L"1" : L"0";
  if (property != L"selected") throw Failure{L"unknown property " + property};
  const auto lines = Lines(control);
  const auto item =
      static_cast<std::size_t>(SendTo(control, IsClass(control, L"ComboBox") ? CB_GETCURSEL : LB_GETCURSEL));
  if (item >= lines.size()) return {};
  const auto first = lines[item].find_first_not_of(L' ');
  return first == std::wstring::npos ? std::wstring() : lines[item].substr(first);
}

// True for the command `name`; a wrong number of arguments fails.
bool Is(const Args& args, const wchar_t* name, std::size_t count) {
  if (args[0] != name) return false;
  if (args.size() != count + 1)
    throw Failure{args[0] + L" takes " + std::to_wstring(count) + L" argument(s)"};
  return true;
}

void Run(const Args& args) {
  if (Is(args, L"window", 1)) {
    currentWindow = WaitFor([&] { return FindTopLevel(args[1], nullptr, true); }, L"window " + args[1]);
  } else if (Is(args, L"gone", 1)) {
    WaitFor([&] { return !FindTopLevel(args[1], nullptr, false); }, L"window " + args[1] + L" to go");
  } else if (Is(args, L"list", 0)) {
    for (HWND c : Windows(FindControl(L".")))
      WriteLine(std::to_wstring(GetDlgCtrlID(c)) + L"\t" + ClassOf(c) + L"\t" +
                (IsWindowVisible(c) ? L"1" : L"0") + L"\t" + (IsWindowEnabled(c) ? L"1" : L"0") + L"\t" +
                OneLine(TextOf(c)));
  } else if (Is(args, L"click", 1)) {
    HWND control = FindControl(args[1]);
    RequirePressable(control, args[1]);
    // Posted: the handler may open a modal box, and a sent click would wait for it.
    PostMessageW(control, BM_CLICK, 0, 0);
  } else if (Is(args, L"expect", 3)) {
    std::wstring last;
    for (const ULONGLONG end = GetTickCount64() + timeoutMs;
         (last = Property(FindControl(args[1]), args[2])) != args[3]; Sleep(50))
      if (GetTickCount64() > end)
        throw Failure{args[1] + L" " + args[2] + L": expected \"" + args[3] + L"\", got \"" + OneLine(last) +
                      L"\""};
  } else if (Is(args, L"items", 1)) {
    for (const auto& line : Lines(FindControl(args[1]))) WriteLine(OneLine(line));
  } else if (Is(args, L"select", 2)) {
    HWND combo = FindControl(args[1]);
    if (!IsClass(combo, L"ComboBox")) throw Failure{args[1] + L" is not a drop-down list"};
    RequirePressable(combo, args[1]);
    const auto lines = Lines(combo);
    const auto found =
        std::find_if(lines.begin(), lines.end(), [&](auto& l) { return l.starts_with(args[2]); });
    if (found == lines.end()) throw Failure{args[1] + L" has no line " + args[2]};
    SendTo(combo, CB_SETCURSEL, static_cast<WPARAM>(found - lines.begin()));
    // Posted, as a person's choice comes: the owner's handler may open a modal box.
    PostMessageW(GetParent(combo), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(combo), CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(combo));
  } else if (Is(args, L"close", 0)) {
    HWND window = FindControl(L".");
    RequirePressable(window, L"the window");
    PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
  } else if (Is(args, L"box", 1) || Is(args, L"expect-box", 2)) {
    currentBox = WaitFor([&] { return FindTopLevel(args[1], L"#32770", true); }, L"a box " + args[1]);
    const std::wstring text = TextOf(GetDlgItem(currentBox, 0xFFFF));
    WriteLine(OneLine(TextOf(currentBox)) + L"\t" + OneLine(text));
    if (args.size() > 2 && text != args[2])
      throw Failure{L"box text: expected \"" + args[2] + L"\", got \"" + text + L"\""};
  } else if (Is(args, L"press", 1)) {
    HWND box = Current(currentBox, L"box (use: box)");
    const int id = _wtoi(args[1].c_str());
    HWND button = GetDlgItem(box, id);
    if (!button) throw Failure{L"the box has no button " + args[1]};
    RequirePressable(button, L"button " + args[1]);
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
    WaitFor([&] { return !IsWindow(box) || !IsWindowVisible(box); }, L"the box to close");
    currentBox = nullptr;
  } else if (Is(args, L"type", 1)) {
    const auto children = Windows(Current(currentBox, L"box (use: box)"));
    const auto edit =
        std::find_if(children.begin(), children.end(), [](HWND c) { return IsClass(c, L"Edit"); });
    if (edit == children.end()) throw Failure{L"the box has no edit control"};
    RequirePressable(*edit, L"the edit control");
    for (wchar_t c : args[1]) PostMessageW(*edit, WM_CHAR, c, 1);
  } else if (Is(args, L"move-box", 1)) {
    if (args[1] != L"below") throw Failure{L"usage: move-box below"};
    HWND box = Current(currentBox, L"box (use: box)");
    RECT under{};
    GetWindowRect(FindControl(L"."), &under);
    const LONG top = under.bottom + 8;
    if (!SetWindowPos(box, nullptr, under.left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE))
      throw Failure{L"cannot move the box: error " + std::to_wstring(GetLastError())};
    WaitFor(
        [&] {
          RECT now{};
          return GetWindowRect(box, &now) && now.top == top && now.left == under.left;
        },
        L"the box to move");
  } else if (Is(args, L"desktop", 1)) {
    // The desktop exists only once `wine explorer /desktop=...` has made it.
    HDESK desktop =
        WaitFor([&] { return OpenDesktopW(args[1].c_str(), 0, FALSE, GENERIC_ALL); }, L"desktop " + args[1]);
    if (!SetThreadDesktop(desktop))
      throw Failure{L"cannot join desktop " + args[1] + L": error " + std::to_wstring(GetLastError())};
  } else if (Is(args, L"timeout", 1)) {
    timeoutMs = static_cast<DWORD>(_wtoi(args[1].c_str())) * 1000u;
  } else {
    throw Failure{L"unknown command " + args[0]};
  }
}

Args Split(const std::wstring& line) {
  Args words;
  for (std::size_t i = 0; i < line.size();) {
    if (line[i] == L' ' || line[i] == L'\t' || line[i] == L'\r') {
      ++i;
      continue;
    }
    std::wstring word;
    if (line[i] == L'"') {
      for (++i; i < line.size() && line[i] != L'"'; word += line[i++])
        if (line[i] == L'\\' && i + 1 < line.size() && (line[i + 1] == L'"' || line[i + 1] == L'\\')) ++i;
      ++i;
    } else {
      for (; i < line.size() && line[i] != L' ' && line[i] != L'\t' && line[i] != L'\r'; ++i) word += line[i];
    }
    words.push_back(word);
  }
  return words;
}

bool RunReporting(const Args& args) try {
  Run(args);
  WriteLine(L"ok");
  return true;
} catch (const Failure& failure) {
  WriteLine(L"fail: " + failure.reason);
  return false;
}

}  // namespace

int main() {
  int argc = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  Args args(argv + 1, argv + argc);
  LocalFree(argv);

  // Options are commands that run before the others.
  std::size_t i = 0;
  try {
    for (; i + 1 < args.size() && args[i].starts_with(L"--"); i += 2) Run({args[i].substr(2), args[i + 1]});
  } catch (const Failure& failure) {
    WriteLine(L"fail: " + failure.reason);
    return 1;
  }
  if (i >= args.size()) {
    WriteLine(L"usage: vxr-driver [--desktop NAME] [--timeout SECONDS] COMMAND [ARG...] | -");
    return 2;
  }
  if (args[i] != L"-")
    return RunReporting(Args(args.begin() + static_cast<std::ptrdiff_t>(i), args.end())) ? 0 : 1;
  std::string line;
  for (bool more = true; more; line.clear()) {
    char c = 0;
    DWORD read = 0;
    while ((more = ReadFile(GetStdHandle(STD_INPUT_HANDLE), &c, 1, &read, nullptr) && read == 1) && c != '\n')
      line += c;
    const Args words = Split(platform::win32::ToWide(line, CP_UTF8));
    if (!words.empty() && words[0][0] != L'#') RunReporting(words);
  }
  return 0;
}
