#include "common/setup_state.h"

namespace vxr {

std::uint8_t WizardPage = 0;
FixedText<256> InstallDir;
std::wstring TempDir;
std::wstring WindowsDrive;

std::wstring WindowsDriveLetter() { return WindowsDrive.substr(0, 2); }

std::wstring DefaultInstallDir() { return WindowsDriveLetter() + L"\\Program Files\\Screen Recorder"; }

}  // namespace vxr
