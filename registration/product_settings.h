// The registry step of the installation: the product's settings under the
// vendor key and the uninstall entry Windows lists the product by.
#pragma once

#include <string_view>

#include "common/install_ui.h"

namespace vxr {

inline constexpr wchar_t kVendorKey[] = L"Software\\Ambretton";
inline constexpr wchar_t kProductKey[] = L"Software\\Ambretton\\VXR";
inline constexpr wchar_t kUninstallKey[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\ScreenRecorder";

// `installDir` is the destination directory, trimmed. Failures are reported by the registry routines and
// never stop the installation.
void WriteRegistrySettings(std::wstring_view installDir, InstallUi& ui);

}  // namespace vxr
