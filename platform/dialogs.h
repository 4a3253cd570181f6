// Modal message and input boxes.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace platform {

// MessageBox style bits and results, with Windows' values.
inline constexpr std::uint32_t kMbOk = 0x0;
inline constexpr std::uint32_t kMbOkCancel = 0x1;
inline constexpr std::uint32_t kMbYesNo = 0x4;
inline constexpr std::uint32_t kMbIconQuestion = 0x20;
inline constexpr std::uint32_t kMbIconExclamation = 0x30;
inline constexpr std::uint32_t kMbDefButton2 = 0x100;
inline constexpr std::uint32_t kMbSystemModal = 0x1000;

// The setup's four box styles.
// OK, exclamation icon, above every window: failures during the installation.
inline constexpr std::uint32_t kBoxAlert = kMbOk | kMbIconExclamation | kMbSystemModal;  // 0x1030
// OK, exclamation icon: a refusal the user can mend at once.
inline constexpr std::uint32_t kBoxWarning = kMbOk | kMbIconExclamation;  // 0x30
// OK and Cancel, exclamation icon, Cancel the default.
inline constexpr std::uint32_t kBoxOkCancel = kMbOkCancel | kMbIconExclamation | kMbDefButton2;  // 0x131
// Yes and No, question icon, No the default, above every window.
inline constexpr std::uint32_t kBoxQuestion =
    kMbYesNo | kMbIconQuestion | kMbDefButton2 | kMbSystemModal;  // 0x1124

inline constexpr int kIdOk = 1;
inline constexpr int kIdCancel = 2;
inline constexpr int kIdYes = 6;
inline constexpr int kIdNo = 7;

// Shows a modal message box owned by the active window; returns the button pressed.
int ShowMessageBox(std::wstring_view text, std::uint32_t style, std::wstring_view title);

// Prompt, edit box, OK and Cancel. Returns the typed text, or empty text on Cancel.
std::wstring ShowInputBox(std::wstring_view prompt, std::wstring_view title, std::wstring_view defaultText);

}  // namespace platform
