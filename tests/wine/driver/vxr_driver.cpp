// vxr-driver: works another program's windows the way a person would, for the
// tests under Wine. It only does what a person could do: it refuses to click a
// control that is hidden or disabled, or whose window is disabled (behind a
// modal box), because Wine runs a disabled button's handler on BM_CLICK.
//
//   vxr-driver.exe [--desktop NAME] [--timeout SECONDS] COMMAND [ARG...]
//       runs one command; exit code 0 done, 1 failed, 2 bad usage.
//   vxr-driver.exe [--desktop NAME] [--timeout SECONDS] -
//       script mode: reads commands from standard input, one a line, and answers
//       each with its output lines and then a line "ok" or "fail: REASON"; it
//       goes on after a failure. A host script can pace it line by line (bash
//       coproc) and do its own things, such as screenshots, in between.
//
// Arguments are separated by blanks; "double quotes" keep blanks (a backslash
// before a quote or a backslash inside them takes it literally). Input and
// output are UTF-8. Every wait polls until its time-out
// (default 20 s); nothing sleeps and hopes.
//
// CONTROL is a control's caption exactly as set ("&" included), or #ID for its
// control id, or "." for the current window itself. Visible matches are
// preferred when several controls have the caption.
//
//   window TITLE              wait for a visible top-level window titled exactly
//                             TITLE; it becomes the current window
//   gone TITLE                wait until no top-level window has that title
//   list                      the current window's controls, one a line:
//                             id <tab> class <tab> visible <tab> enabled <tab> caption
//   click CONTROL             click a button, check box or option button
//   expect CONTROL PROPERTY VALUE
//                             wait until PROPERTY of CONTROL reads VALUE; properties:
//                             text, visible (0/1), enabled (0/1), checked (0/1), selected
//                             (a list's or drop-down list's selected line, leading blanks
//                             dropped)
//   items CONTROL             a list's or drop-down list's lines, one a line
//   select CONTROL TEXT       choose the drop-down list's line that begins with TEXT, as the
//                             keyboard does: the selection moves and the list tells its owner
//   open CONTROL NAME         double-click the list's line that reads NAME (leading blanks
//                             dropped), as a person opens a folder
//   close                     press the current window's close box
//   box [TITLE]               wait for a visible message or input box (class #32770,
//                             with that title if given); prints title <tab> text
//                             (the static control 65535); it becomes the current box
//   expect-box TITLE TEXT     as box TITLE, and fail unless its text is TEXT
//   press ID                  press the current box's button ID (1 OK, 2 Cancel,
//                             6 Yes, 7 No) and wait until the box has gone
//   type TEXT                 type TEXT into the current box's edit control (WM_CHAR)
//   move-box below            drag the current box to just below the current window,
//                             as a person moves a box aside to see what it covers
//   desktop NAME              join a named desktop (waiting until it exists): windows
//                             of a program started with `wine explorer
//                             /desktop=NAME,WxH prog` live there
//   timeout SECONDS           the time-out of the waits that follow
#include <windows.h>
// After windows.h.
#include <shellapi.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

// ---- Text and output --------------------------------------------------------------

std::wstring Wide(const std::string& utf8) {
  if (utf8.empty()) return {};
  const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring out(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), out.data(), n);
  return out;
}

std::string Utf8(const std::wstring& wide) {
  if (wide.empty()) return {};
  const int n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0,
                                    nullptr, nullptr);
  std::string out(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), out.data(), n, nullptr,
                      nullptr);
  return out;
}

void Write(const std::string& text) {
  DWORD written = 0;
  WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}
void WriteLine(const std::wstring& text) { Write(Utf8(text) + "\n"); }

// Line breaks and tabs inside a caption would break the line format.
std::wstring OneLine(std::wstring text) {
  for (auto& c : text)
    if (c == L'\r' || c == L'\n' || c == L'\t') c = L' ';
  return text;
}

// ---- Windows of the other program ----------------------------------------------------

struct Failure {
  std::wstring reason;
};

DWORD timeoutMs = 20000;
HWND currentWindow = nullptr;
HWND currentBox = nullptr;

// WM_GETTEXT crosses processes, and unlike GetWindowText it reads edit controls too.
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

BOOL CALLBACK Collect(HWND window, LPARAM list) {
  reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
  return TRUE;
}

std::vector<HWND> TopLevelWindows() {
  std::vector<HWND> windows;
  EnumWindows(Collect, reinterpret_cast<LPARAM>(&windows));
  return windows;
}

std::vector<HWND> Descendants(HWND parent) {
  std::vector<HWND> windows;
  EnumChildWindows(parent, Collect, reinterpret_cast<LPARAM>(&windows));
  return windows;
}

// Polls `probe` until it gives a value or the time-out passes.
template <typename Probe>
auto WaitFor(Probe probe, const std::wstring& what) {
  const ULONGLONG end = GetTickCount64() + timeoutMs;
  for (;;) {
    if (auto found = probe()) return found;
    if (GetTickCount64() > end) throw Failure{L"timed out waiting for " + what};
    Sleep(50);
  }
}

HWND FindTopLevel(const std::wstring& title, const wchar_t* className, bool visibleOnly) {
  for (HWND window : TopLevelWindows()) {
    if (visibleOnly && !IsWindowVisible(window)) continue;
    if (className && ClassOf(window) != className) continue;
    if (TextOf(window) == title) return window;
  }
  return nullptr;
}

HWND Current() {
  if (!currentWindow || !IsWindow(currentWindow)) throw Failure{L"no current window (use: window TITLE)"};
  return currentWindow;
}

HWND FindControl(const std::wstring& name) {
  HWND window = Current();
  if (name == L".") return window;
  HWND fallback = nullptr;
  const bool byId = name.size() > 1 && name[0] == L'#';
  const int id = byId ? _wtoi(name.c_str() + 1) : 0;
  for (HWND child : Descendants(window)) {
    if (byId ? GetDlgCtrlID(child) != id : TextOf(child) != name) continue;
    if (IsWindowVisible(child)) return child;
    if (!fallback) fallback = child;
  }
  if (!fallback) throw Failure{L"no control " + name};
  return fallback;
}

// What a person could press: shown, enabled, and nothing above it disabled.
void RequirePressable(HWND control, const std::wstring& name) {
  if (!IsWindowVisible(control)) throw Failure{name + L" is not visible"};
  for (HWND w = control; w; w = GetAncestor(w, GA_PARENT)) {
    if (w == GetDesktopWindow()) break;
    if (!IsWindowEnabled(w))
      throw Failure{w == control ? name + L" is disabled" : name + L" is in a disabled window"};
  }
}

LRESULT SendTo(HWND control, UINT message, WPARAM wParam, LPARAM lParam) {
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutW(control, message, wParam, lParam, SMTO_ABORTIFHUNG, 5000, &result))
    throw Failure{L"the control does not answer"};
  return static_cast<LRESULT>(result);
}

bool IsComboBox(HWND control) {
  const std::wstring name = ClassOf(control);
  return lstrcmpiW(name.c_str(), L"ComboBox") == 0;
}
bool IsListBox(HWND control) {
  const std::wstring name = ClassOf(control);
  return lstrcmpiW(name.c_str(), L"ListBox") == 0;
}

// The lines of a list box or a drop-down list (their texts cross processes).
std::vector<std::wstring> Lines(HWND control) {
  const bool combo = IsComboBox(control);
  if (!combo && !IsListBox(control)) throw Failure{L"not a list: " + ClassOf(control)};
  const LRESULT count = SendTo(control, combo ? CB_GETCOUNT : LB_GETCOUNT, 0, 0);
  std::vector<std::wstring> lines;
  for (LRESULT i = 0; i < count; ++i) {
    const LRESULT length =
        SendTo(control, combo ? CB_GETLBTEXTLEN : LB_GETTEXTLEN, static_cast<WPARAM>(i), 0);
    std::wstring text(static_cast<std::size_t>(length < 0 ? 0 : length) + 1, L'\0');
    SendTo(control, combo ? CB_GETLBTEXT : LB_GETTEXT, static_cast<WPARAM>(i),
           reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(length < 0 ? 0 : length));
    lines.push_back(text);
  }
  return lines;
}

std::wstring WithoutLeadingBlanks(const std::wstring& text) {
  const auto first = text.find_first_not_of(L' ');
  return first == std::wstring::npos ? std::wstring() : text.substr(first);
}

// Tells a list's owner what a person's choice would: posted, since its
// handler may open a modal box.
void Notify(HWND control, WORD code) {
  PostMessageW(GetParent(control), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(control), code),
               reinterpret_cast<LPARAM>(control));
}

std::wstring Property(HWND control, const std::wstring& property) {
  if (property == L"text") return TextOf(control);
  if (property == L"visible") return IsWindowVisible(control) ? L"1" : L"0";
  if (property == L"enabled") return IsWindowEnabled(control) ? L"1" : L"0";
  if (property == L"selected") {
    const std::vector<std::wstring> lines = Lines(control);
    const LRESULT item = SendTo(control, IsComboBox(control) ? CB_GETCURSEL : LB_GETCURSEL, 0, 0);
    if (item < 0 || static_cast<std::size_t>(item) >= lines.size()) return {};
    return WithoutLeadingBlanks(lines[static_cast<std::size_t>(item)]);
  }
  if (property == L"checked") {
    DWORD_PTR state = 0;
    SendMessageTimeoutW(control, BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, 5000, &state);
    return state == BST_CHECKED ? L"1" : L"0";
  }
  throw Failure{L"unknown property " + property};
}

HWND FindBox(const std::wstring* title) {
  for (HWND window : TopLevelWindows()) {
    if (!IsWindowVisible(window) || ClassOf(window) != L"#32770") continue;
    if (!title || TextOf(window) == *title) return window;
  }
  return nullptr;
}

HWND CurrentBox() {
  if (!currentBox || !IsWindow(currentBox)) throw Failure{L"no current box (use: box)"};
  return currentBox;
}

// ---- Commands ----------------------------------------------------------------------

void Need(const std::vector<std::wstring>& args, std::size_t count, const wchar_t* usage) {
  if (args.size() != count + 1) throw Failure{std::wstring(L"usage: ") + usage};
}

void Run(const std::vector<std::wstring>& args) {
  const std::wstring& command = args[0];
  if (command == L"window") {
    Need(args, 1, L"window TITLE");
    currentWindow = WaitFor([&] { return FindTopLevel(args[1], nullptr, true); }, L"window " + args[1]);
  } else if (command == L"gone") {
    Need(args, 1, L"gone TITLE");
    WaitFor([&] { return FindTopLevel(args[1], nullptr, false) == nullptr; },
            L"window " + args[1] + L" to go");
  } else if (command == L"list") {
    Need(args, 0, L"list");
    for (HWND child : Descendants(Current())) {
      WriteLine(std::to_wstring(GetDlgCtrlID(child)) + L"\t" + ClassOf(child) + L"\t" +
                (IsWindowVisible(child) ? L"1" : L"0") + L"\t" + (IsWindowEnabled(child) ? L"1" : L"0") +
                L"\t" + OneLine(TextOf(child)));
    }
  } else if (command == L"click") {
    Need(args, 1, L"click CONTROL");
    HWND control = FindControl(args[1]);
    RequirePressable(control, args[1]);
    // Posted: the handler may open a modal box, and a sent click would wait for it.
    PostMessageW(control, BM_CLICK, 0, 0);
  } else if (command == L"expect") {
    Need(args, 3, L"expect CONTROL PROPERTY VALUE");
    std::wstring last;
    const ULONGLONG end = GetTickCount64() + timeoutMs;
    for (;;) {
      last = Property(FindControl(args[1]), args[2]);
      if (last == args[3]) break;
      if (GetTickCount64() > end)
        throw Failure{args[1] + L" " + args[2] + L": expected \"" + args[3] + L"\", got \"" + OneLine(last) +
                      L"\""};
      Sleep(50);
    }
  } else if (command == L"items") {
    Need(args, 1, L"items CONTROL");
    for (const auto& line : Lines(FindControl(args[1]))) WriteLine(OneLine(line));
  } else if (command == L"select") {
    Need(args, 2, L"select CONTROL TEXT");
    HWND combo = FindControl(args[1]);
    if (!IsComboBox(combo)) throw Failure{args[1] + L" is not a drop-down list"};
    RequirePressable(combo, args[1]);
    const auto lines = Lines(combo);
    const auto found = std::find_if(lines.begin(), lines.end(), [&](const std::wstring& line) {
      return line.compare(0, args[2].size(), args[2]) == 0;
    });
    if (found == lines.end()) throw Failure{args[1] + L" has no line " + args[2]};
    SendTo(combo, CB_SETCURSEL, static_cast<WPARAM>(found - lines.begin()), 0);
    Notify(combo, CBN_SELCHANGE);
  } else if (command == L"open") {
    Need(args, 2, L"open CONTROL NAME");
    HWND list = FindControl(args[1]);
    if (!IsListBox(list)) throw Failure{args[1] + L" is not a list"};
    RequirePressable(list, args[1]);
    const auto lines = Lines(list);
    const auto found = std::find_if(lines.begin(), lines.end(), [&](const std::wstring& line) {
      return WithoutLeadingBlanks(line) == args[2];
    });
    if (found == lines.end()) throw Failure{args[1] + L" has no line " + args[2]};
    SendTo(list, LB_SETCURSEL, static_cast<WPARAM>(found - lines.begin()), 0);
    Notify(list, LBN_DBLCLK);
  } else if (command == L"close") {
    Need(args, 0, L"close");
    HWND window = Current();
    RequirePressable(window, L"the window");
    PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
  } else if (command == L"box" || command == L"expect-box") {
    const bool expectText = command == L"expect-box";
    if (expectText)
      Need(args, 2, L"expect-box TITLE TEXT");
    else if (args.size() > 2)
      throw Failure{L"usage: box [TITLE]"};
    const std::wstring* title = args.size() > 1 ? &args[1] : nullptr;
    currentBox = WaitFor([&] { return FindBox(title); }, L"a box" + (title ? L" " + *title : std::wstring()));
    const std::wstring text = TextOf(GetDlgItem(currentBox, 0xFFFF));
    WriteLine(OneLine(TextOf(currentBox)) + L"\t" + OneLine(text));
    if (expectText && text != args[2])
      throw Failure{L"box text: expected \"" + args[2] + L"\", got \"" + text + L"\""};
  } else if (command == L"press") {
    Need(args, 1, L"press ID");
    HWND box = CurrentBox();
    const int id = _wtoi(args[1].c_str());
    HWND button = GetDlgItem(box, id);
    if (!button) throw Failure{L"the box has no button " + args[1]};
    RequirePressable(button, L"button " + args[1]);
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
    WaitFor([&] { return !IsWindow(box) || !IsWindowVisible(box); }, L"the box to close");
    currentBox = nullptr;
  } else if (command == L"type") {
    Need(args, 1, L"type TEXT");
    HWND edit = nullptr;
    for (HWND child : Descendants(CurrentBox()))
      if (ClassOf(child) == L"Edit" || ClassOf(child) == L"EDIT") edit = child;
    if (!edit) throw Failure{L"the box has no edit control"};
    RequirePressable(edit, L"the edit control");
    for (wchar_t c : args[1]) PostMessageW(edit, WM_CHAR, c, 1);
  } else if (command == L"move-box") {
    Need(args, 1, L"move-box below");
    if (args[1] != L"below") throw Failure{L"usage: move-box below"};
    HWND box = CurrentBox();
    RECT under{};
    GetWindowRect(Current(), &under);
    const int top = under.bottom + 8;
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

// ---- Command lines and scripts -------------------------------------------------------

std::vector<std::wstring> Split(const std::wstring& line) {
  std::vector<std::wstring> words;
  std::size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && (line[i] == L' ' || line[i] == L'\t' || line[i] == L'\r')) ++i;
    if (i >= line.size()) break;
    std::wstring word;
    if (line[i] == L'"') {
      for (++i; i < line.size() && line[i] != L'"'; ++i) {
        if (line[i] == L'\\' && i + 1 < line.size() && (line[i + 1] == L'"' || line[i + 1] == L'\\')) ++i;
        word += line[i];
      }
      ++i;
    } else {
      while (i < line.size() && line[i] != L' ' && line[i] != L'\t' && line[i] != L'\r') word += line[i++];
    }
    words.push_back(word);
  }
  return words;
}

bool ReadLine(std::string& line) {
  line.clear();
  HANDLE in = GetStdHandle(STD_INPUT_HANDLE);
  char c;
  DWORD read = 0;
  while (ReadFile(in, &c, 1, &read, nullptr) && read == 1) {
    if (c == '\n') return true;
    line += c;
  }
  return !line.empty();
}

bool RunReporting(const std::vector<std::wstring>& args) {
  try {
    Run(args);
    Write("ok\n");
    return true;
  } catch (const Failure& failure) {
    WriteLine(L"fail: " + failure.reason);
    return false;
  }
}

}  // namespace

int main() {
  int argc = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  std::vector<std::wstring> args(argv + 1, argv + argc);
  LocalFree(argv);

  // Options first: they are commands that come before the others.
  std::vector<std::vector<std::wstring>> options;
  std::size_t i = 0;
  for (; i + 1 < args.size() && args[i].starts_with(L"--"); i += 2)
    options.push_back({args[i].substr(2), args[i + 1]});
  if (i >= args.size()) {
    Write("usage: vxr-driver [--desktop NAME] [--timeout SECONDS] COMMAND [ARG...] | -\n");
    return 2;
  }
  for (const auto& option : options) {
    try {
      Run(option);
    } catch (const Failure& failure) {
      WriteLine(L"fail: " + failure.reason);
      return 1;
    }
  }

  if (args[i] == L"-") {
    std::string line;
    while (ReadLine(line)) {
      const auto words = Split(Wide(line));
      if (words.empty() || words[0][0] == L'#') continue;
      RunReporting(words);
    }
    return 0;
  }
  return RunReporting(std::vector<std::wstring>(args.begin() + static_cast<std::ptrdiff_t>(i), args.end()))
             ? 0
             : 1;
}
