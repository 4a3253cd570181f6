// The setup run from a package built by the packing tool, on a headless
// machine: walked to the destination page and installed, with a look at what
// the finish page showed at every event point.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "tests/wizard/wizard_fixture.h"
#include "tools/vxrpack/package.h"

namespace vxr::test {

using Bytes = std::vector<std::uint8_t>;

inline constexpr wchar_t kDestination[] = L"C:\\Program Files\\Screen Recorder";
inline constexpr wchar_t kStaging[] = L"C:\\WINDOWS\\TEMP\\VXRTMP";
inline constexpr wchar_t kPackage[] = L"C:\\SETUP\\VXRSetup.exe";
inline constexpr wchar_t kGroup[] =
    L"C:\\Users\\Test\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs\\Screen Recorder";
inline constexpr wchar_t kCompleted[] =
    L"Installation of Screen Recorder has been successfully completed! You can run VXR from the Start Menu.";

// The demo product and its package, built once for the whole test program.
const std::vector<pack::ProductFile>& DemoFiles();
const pack::BuiltPackage& DemoPackage();

// What the finish page showed when pending events were processed.
struct EventPoint {
  std::wstring status, file;
  bool cancelLive, backLive, nextLive;
};

class InstallTest : public WizardTest {
 protected:
  void SetUp() override;

  // Puts `bytes` at `path` and makes it the running executable.
  void PlacePackage(std::wstring_view path, const Bytes& bytes);
  // The demo package with one byte of the piece at `order` (1 to 8) flipped.
  static Bytes DamagedPackage(int order);

  // Welcome, licence, destination, then Next, which installs. Every event
  // point is recorded; `atPoint` runs at each, after the record, with its
  // number from 1. True when the program ended inside.
  bool Install(std::function<void(int point)> atPoint = {});

  // A file of the destination; nothing when it is missing.
  std::optional<Bytes> Installed(std::string_view name) const;
  // The demo files, byte for byte, but those in `missing`.
  void ExpectInstalledBut(const std::vector<std::string>& missing = {}) const;
  // The names in a folder, sorted; empty when there is no such folder.
  std::vector<std::string> Listing(std::wstring_view folder) const;
  bool Exists(std::wstring_view windowsPath) const;
  std::optional<std::string> RegistryText(std::wstring_view key, std::wstring_view name) const;
  // The boxes shown, as "title: text".
  std::vector<std::wstring> Boxes() const;

  std::vector<EventPoint> points_;

 private:
  void Watch(std::function<void(int)> atPoint);
};

}  // namespace vxr::test
