// The uninstaller's run: the question, the wait for a running product, the
// removal of exactly what the setup installed, and the closing message.
#pragma once

#include <array>
#include <string_view>

#include "tools/demo/uninstaller/system.h"

namespace vxr::uninstaller {

// The files the setup installs, by their installed names.
inline constexpr std::array<std::wstring_view, 8> kInstalledFiles = {
    L"Screen Recorder.exe", L"Stop.wav", L"Start.wav",         L"Shot.wav",
    L"Click.wav",           L"Beep.wav", L"Uninstall VXR.exe", L"VXR.chm"};

// The Start-menu group and the links Program Manager (or the setup, where
// none answers) makes in it: the item names with ".lnk".
inline constexpr std::wstring_view kGroupName = L"Screen Recorder";
inline constexpr std::array<std::wstring_view, 4> kGroupLinks = {
    L"Tarvo's Screen Recorder.lnk", L"VXR Movie Studio.lnk", L"Screen Recorder Help.lnk",
    L"Uninstall Screen Recorder.lnk"};

// Below HKEY_LOCAL_MACHINE, in the 32-bit view.
inline constexpr std::wstring_view kUninstallKey =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\ScreenRecorder";
inline constexpr std::wstring_view kProductKey = L"Software\\Ambretton\\VXR";
inline constexpr std::wstring_view kVendorKey = L"Software\\Ambretton";

// The process's exit code.
enum class Outcome : int {
  Removed = 0,        // nothing of the product is left
  PartlyRemoved = 1,  // something could not be removed; the last box named it
  Kept = 2,           // the user said No or gave up waiting for the product to close
};

// `installDir` is the folder the uninstaller was installed in (the folder of
// "Uninstall VXR.exe"), without a trailing backslash but at a drive root.
Outcome Uninstall(System& system, std::wstring_view installDir);

}  // namespace vxr::uninstaller
