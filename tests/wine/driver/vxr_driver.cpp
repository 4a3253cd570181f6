// vxr-driver: works another program's windows as a person would, for the tests
// under Wine. It refuses to click a control that is hidden or disabled, or
// whose window is disabled (behind a modal box): Wine runs a disabled button's
// handler on BM_CLICK.
//
//   vxr-driver.exe [--desktop NAME] [--timeout SECONDS] COMMAND [ARG...]
//       one command; exit code 0 done, 1 failed, 2 bad usage.
//   vxr-driver.exe [--desktop NAME] [--timeout SECONDS] -
//       commands from standard input, one a line, each answered with its output
//       and a line "ok" or "fail: REASON"; a host script paces it (bash coproc).
//
// Blanks separate arguments; "double quotes" keep them (a backslash takes the
// next quote or backslash literally). UTF-8 in and out. Every wait polls until
// its time-out (default 20 s).
// CONTROL: a caption exactly as set ("&" included), #ID, or "." for the current
// window; visible matches win.
//
//   window TITLE        wait for a visible top-level window; it becomes current
//   gone TITLE          wait until no top-level window has that title
//   list                the current window's controls:
//                       id <tab> class <tab> visible <tab> enabled <tab> caption
//   click CONTROL       click a button, check box or option button
//   expect CONTROL PROPERTY VALUE
//                       wait until it reads VALUE: text, visible, enabled,
//                       checked (0/1), selected (a list's line, leading blanks dropped)
//   items CONTROL       a list's or drop-down list's lines
//   select CONTROL TEXT choose the drop-down line that begins with TEXT, as the
//                       keyboard does: the selection moves and the owner is told
//   close               press the current window's close box
//   box [TITLE]         wait for a message or input box (#32770); prints
//                       title <tab> text; it becomes the current box
//   expect-box TITLE TEXT   as box TITLE, failing unless its text is TEXT
//   press ID            press the box's button ID and wait until it has gone
//   type TEXT           type TEXT into the box's edit control (WM_CHAR)
//   move-box below      drag the box to just below the current window
//   desktop NAME        join a named desktop (`wine explorer /desktop=NAME,WxH`)
//   timeout SECONDS     the time-out of the waits that follow
#include <windows.h>
// After windows.h.
#include <shellapi.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

using Args = std::vector<std::wstring>;
struct Failure {
  std::wstring reason;
};

DWORD timeoutMs = 20000;
HWND currentWindow = nullptr, currentBox = nullptr;

std::wstring Wide(const std::string& utf8) {
  std::wstring out(utf8.size(), L'\0');
  out.resize(static_cast<std::size_t>(MultiByteToWideChar(
      CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), out.data(), static_cast<int>(out.size()))));
  return out;
}

void Write(const std::wstring& line) {
  std::string out(line.size() * 3 + 1, '\0');
  out.resize(static_cast<std::size_t>(WideCharToMultiByte(CP_UTF8, 0, line.data(),
                                                          static_cast<int>(line.size()), out.data(),
                                                          static_cast<int>(out.size()), nullptr, nullptr)));
  out += '\n';
  DWORD written = 0;
  WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), out.data(), static_cast<DWORD>(out.size()), &written, nullptr);
}

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
HWND FindTopLevel(const std::wstring* title, const wchar_t* className, bool visibleOnly) {
  for (HWND window : Windows()) {
    if (visibleOnly && !IsWindowVisible(window)) continue;
    if ((!className || ClassOf(window) == className) && (!title || TextOf(window) == *title)) return window;
  }
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

void Need(const Args& args, std::size_t count, const wchar_t* usage) {
  if (args.size() != count + 1) throw Failure{std::wstring(L"usage: ") + usage};
}

void Run(const Args& args) {
  const std::wstring& command = args[0];
  if (command == L"window") {
    Need(args, 1, L"window TITLE");
    currentWindow = WaitFor([&] { return FindTopLevel(&args[1], nullptr, true); }, L"window " + args[1]);
  } else if (command == L"gone") {
    Need(args, 1, L"gone TITLE");
    WaitFor([&] { return !FindTopLevel(&args[1], nullptr, false); }, L"window " + args[1] + L" to go");
  } else if (command == L"list") {
    Need(args, 0, L"list");
    for (HWND c : Windows(FindControl(L".")))
      Write(std::to_wstring(GetDlgCtrlID(c)) + L"\t" + ClassOf(c) + L"\t" +
            (IsWindowVisible(c) ? L"1" : L"0") + L"\t" + (IsWindowEnabled(c) ? L"1" : L"0") + L"\t" +
            OneLine(TextOf(c)));
  } else if (command == L"click") {
    Need(args, 1, L"click CONTROL");
    HWND control = FindControl(args[1]);
    RequirePressable(control, args[1]);
    // Posted: the handler may open a modal box, and a sent click would wait for it.
    PostMessageW(control, BM_CLICK, 0, 0);
  } else if (command == L"expect") {
    Need(args, 3, L"expect CONTROL PROPERTY VALUE");
    std::wstring last;
    for (const ULONGLONG end = GetTickCount64() + timeoutMs;
         (last = Property(FindControl(args[1]), args[2])) != args[3]; Sleep(50))
      if (GetTickCount64() > end)
        throw Failure{args[1] + L" " + args[2] + L": expected \"" + args[3] + L"\", got \"" + OneLine(last) +
                      L"\""};
  } else if (command == L"items") {
    Need(args, 1, L"items CONTROL");
    for (const auto& line : Lines(FindControl(args[1]))) Write(OneLine(line));
  } else if (command == L"select") {
    Need(args, 2, L"select CONTROL TEXT");
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
  } else if (command == L"close") {
    Need(args, 0, L"close");
    HWND window = FindControl(L".");
    RequirePressable(window, L"the window");
    PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
  } else if (command == L"box" || command == L"expect-box") {
    const bool expectText = command == L"expect-box";
    if (expectText ? args.size() != 3 : args.size() > 2)
      throw Failure{expectText ? L"usage: expect-box TITLE TEXT" : L"usage: box [TITLE]"};
    const std::wstring* title = args.size() > 1 ? &args[1] : nullptr;
    currentBox =
        WaitFor([&] { return FindTopLevel(title, L"#32770", true); }, L"a box " + (title ? *title : L""));
    const std::wstring text = TextOf(GetDlgItem(currentBox, 0xFFFF));
    Write(OneLine(TextOf(currentBox)) + L"\t" + OneLine(text));
    if (expectText && text != args[2])
      throw Failure{L"box text: expected \"" + args[2] + L"\", got \"" + text + L"\""};
  } else if (command == L"press") {
    Need(args, 1, L"press ID");
    HWND box = Current(currentBox, L"box (use: box)");
    const int id = _wtoi(args[1].c_str());
    HWND button = GetDlgItem(box, id);
    if (!button) throw Failure{L"the box has no button " + args[1]};
    RequirePressable(button, L"button " + args[1]);
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
    WaitFor([&] { return !IsWindow(box) || !IsWindowVisible(box); }, L"the box to close");
    currentBox = nullptr;
  } else if (command == L"type") {
    Need(args, 1, L"type TEXT");
    const auto children = Windows(Current(currentBox, L"box (use: box)"));
    const auto edit =
        std::find_if(children.begin(), children.end(), [](HWND c) { return IsClass(c, L"Edit"); });
    if (edit == children.end()) throw Failure{L"the box has no edit control"};
    RequirePressable(*edit, L"the edit control");
    for (wchar_t c : args[1]) PostMessageW(*edit, WM_CHAR, c, 1);
  } else if (command == L"move-box") {
    if (args.size() != 2 || args[1] != L"below") throw Failure{L"usage: move-box below"};
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
  } else if (command == L"desktop") {
    Need(args, 1, L"desktop NAME");
    // The desktop exists only once `wine explorer /desktop=...` has made it.
    HDESK desktop =
        WaitFor([&] { return OpenDesktopW(args[1].c_str(), 0, FALSE, GENERIC_ALL); }, L"desktop " + args[1]);
    if (!SetThreadDesktop(desktop))
      throw Failure{L"cannot join desktop " + args[1] + L": error " + std::to_wstring(GetLastError())};
  } else if (command == L"timeout") {
    Need(args, 1, L"timeout SECONDS");
    timeoutMs = static_cast<DWORD>(_wtoi(args[1].c_str())) * 1000u;
  } else {
    throw Failure{L"unknown command " + command};
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

bool RunReporting(const Args& args) {
  try {
    Run(args);
    Write(L"ok");
    return true;
  } catch (const Failure& failure) {
    Write(L"fail: " + failure.reason);
    return false;
  }
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
    Write(L"fail: " + failure.reason);
    return 1;
  }
  if (i >= args.size()) {
    Write(L"usage: vxr-driver [--desktop NAME] [--timeout SECONDS] COMMAND [ARG...] | -");
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
    const Args words = Split(Wide(line));
    if (!words.empty() && words[0][0] != L'#') RunReporting(words);
  }
  return 0;
}
