// Message boxes, and the input box: a small modal dialog made from a template
// in memory (prompt, OK and Cancel beside it, the edit box below).
#include "platform/dialogs.h"

#include <windows.h>

#include "platform/win32/gui.h"

namespace platform {

int ShowMessageBox(std::wstring_view text, std::uint32_t style, std::wstring_view title) {
  const std::wstring message(text), caption(title);
  return MessageBoxW(win32::OwnerForBox(), message.c_str(), caption.c_str(), style);
}

namespace {

// The prompt has the id message boxes give their text, so tools read both alike.
constexpr int kPromptId = 0xFFFF;
constexpr int kEditId = 101;

struct InputBox {
  std::wstring_view prompt, title, defaultText;
  std::wstring answer;
};

// A dialog template is a run of WORDs: header, then items on DWORD boundaries.
class TemplateWriter {
 public:
  void Word(unsigned value) { words_[count_++] = static_cast<WORD>(value); }
  void Dword(DWORD value) {
    Word(LOWORD(value));
    Word(HIWORD(value));
  }
  void Text(const wchar_t* text) {
    do Word(*text);
    while (*text++);
  }
  void Align() {
    if (count_ % 2) Word(0);
  }
  void Item(DWORD style, short x, short y, short cx, short cy, WORD id, WORD classAtom, const wchar_t* text) {
    Align();
    Dword(style | WS_CHILD | WS_VISIBLE);
    Dword(0);
    Word(static_cast<WORD>(x));
    Word(static_cast<WORD>(y));
    Word(static_cast<WORD>(cx));
    Word(static_cast<WORD>(cy));
    Word(id);
    Word(0xFFFF);
    Word(classAtom);
    Text(text);
    Word(0);  // no creation data
  }
  const DLGTEMPLATE* Get() const { return reinterpret_cast<const DLGTEMPLATE*>(words_); }

 private:
  alignas(4) WORD words_[160]{};
  unsigned count_ = 0;
};

constexpr WORD kButtonAtom = 0x80, kEditAtom = 0x81, kStaticAtom = 0x82;

INT_PTR CALLBACK InputBoxProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG: {
      SetWindowLongPtrW(dialog, DWLP_USER, lParam);
      const auto* box = reinterpret_cast<const InputBox*>(lParam);
      SetWindowTextW(dialog, std::wstring(box->title).c_str());
      SetDlgItemTextW(dialog, kPromptId, std::wstring(box->prompt).c_str());
      SetDlgItemTextW(dialog, kEditId, std::wstring(box->defaultText).c_str());
      HWND edit = GetDlgItem(dialog, kEditId);
      SendMessageW(edit, EM_SETSEL, 0, -1);
      SetFocus(edit);
      return FALSE;  // the focus is set
    }
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK) {
        auto* box = reinterpret_cast<InputBox*>(GetWindowLongPtrW(dialog, DWLP_USER));
        HWND edit = GetDlgItem(dialog, kEditId);
        box->answer.assign(static_cast<std::size_t>(GetWindowTextLengthW(edit)) + 1, L'\0');
        box->answer.resize(static_cast<std::size_t>(
            GetWindowTextW(edit, box->answer.data(), static_cast<int>(box->answer.size()))));
        EndDialog(dialog, IDOK);
        return TRUE;
      }
      if (LOWORD(wParam) == IDCANCEL) {
        EndDialog(dialog, IDCANCEL);
        return TRUE;
      }
      break;
    default: break;
  }
  return FALSE;
}

}  // namespace

std::wstring ShowInputBox(std::wstring_view prompt, std::wstring_view title, std::wstring_view defaultText) {
  // Dialog units: 244 x 84, as the classic input box.
  TemplateWriter t;
  t.Dword(DS_MODALFRAME | DS_SETFONT | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU);
  t.Dword(0);
  t.Word(4);  // items
  t.Word(0);
  t.Word(0);
  t.Word(244);
  t.Word(84);
  t.Word(0);  // no menu
  t.Word(0);  // the standard dialog class
  t.Text(L"");
  t.Word(8);
  t.Text(L"MS Shell Dlg");
  t.Item(SS_LEFT | SS_NOPREFIX, 6, 6, 174, 48, kPromptId, kStaticAtom, L"");
  t.Item(BS_DEFPUSHBUTTON | WS_TABSTOP | WS_GROUP, 188, 6, 50, 14, IDOK, kButtonAtom, L"OK");
  t.Item(BS_PUSHBUTTON | WS_TABSTOP, 188, 24, 50, 14, IDCANCEL, kButtonAtom, L"Cancel");
  t.Item(ES_LEFT | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP | WS_GROUP, 6, 62, 232, 14, kEditId, kEditAtom,
         L"");

  InputBox box{prompt, title, defaultText, {}};
  const INT_PTR result = DialogBoxIndirectParamW(GetModuleHandleW(nullptr), t.Get(), win32::OwnerForBox(),
                                                 InputBoxProc, reinterpret_cast<LPARAM>(&box));
  return result == IDOK ? box.answer : std::wstring();
}

}  // namespace platform
