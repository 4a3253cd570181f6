#include "tests/install/install_fixture.h"

#include <algorithm>
#include <filesystem>

#include "platform/headless/registry_store.h"
#include "tests/support/pe_builder.h"
#include "tools/demo/demo_product.h"

namespace vxr::test {

const std::vector<pack::ProductFile>& DemoFiles() {
  static const auto files = demo::DemoProduct();
  return files;
}

const pack::BuiltPackage& DemoPackage() {
  static const pack::BuiltPackage package = [] {
    pack::BuiltPackage built;
    std::string error;
    if (!pack::BuildPackage(MakeStub(), DemoFiles(), built, error)) ADD_FAILURE() << error;
    return built;
  }();
  return package;
}

void InstallTest::SetUp() {
  WizardTest::SetUp();
  PlacePackage(kPackage, DemoPackage().bytes);
}

void InstallTest::PlacePackage(std::wstring_view path, const Bytes& bytes) {
  machine_.MakeFolders(path.substr(0, path.find_last_of(L'\\')));
  machine_.WriteFile(path, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
  headless::SetRunningExecutable(std::wstring(path));
}

Bytes InstallTest::DamagedPackage(int order) {
  Bytes bytes = DemoPackage().bytes;
  const auto& piece = DemoPackage().pieces.at(static_cast<std::size_t>(order - 1));
  bytes[bytes.size() - static_cast<std::size_t>(piece.distance + piece.length / 2)] ^= 0x5A;
  return bytes;
}

void InstallTest::Watch(std::function<void(int)> atPoint) {
  headless::QueueEvent([this, atPoint] {
    auto& w = Wizard();
    points_.push_back({w.Text(Form1::Label11), w.Text(Form1::Label12), CanPress("Command3"),
                       CanPress("Command1"), CanPress("Command2")});
    // Next time too; first, because an action that ends the program never returns.
    Watch(atPoint);
    if (atPoint) atPoint(static_cast<int>(points_.size()));
  });
}

bool InstallTest::Install(std::function<void(int)> atPoint) {
  Start();
  GoToPage3();
  Watch(std::move(atPoint));
  bool pressed = false;
  const bool ended = headless::EndsProgram([&] { pressed = Press("Command2"); });
  EXPECT_TRUE(pressed || ended) << "Next could not be pressed on the destination page";
  return ended;
}

std::optional<Bytes> InstallTest::Installed(std::string_view name) const {
  const auto path = std::wstring(kDestination) + L"\\" + std::wstring(name.begin(), name.end());
  if (!std::filesystem::is_regular_file(machine_.Host(path))) return std::nullopt;
  const std::string bytes = machine_.ReadFile(path);
  return Bytes(bytes.begin(), bytes.end());
}

void InstallTest::ExpectInstalledBut(const std::vector<std::string>& missing) const {
  for (const auto& file : DemoFiles()) {
    if (std::find(missing.begin(), missing.end(), file.installedName) != missing.end()) continue;
    EXPECT_EQ(Installed(file.installedName), file.bytes) << file.installedName;
  }
}

std::vector<std::string> InstallTest::Listing(std::wstring_view folder) const {
  std::vector<std::string> names;
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(machine_.Host(folder), ec))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

bool InstallTest::Exists(std::wstring_view windowsPath) const {
  const auto host = machine_.Host(windowsPath);
  return !host.empty() && std::filesystem::exists(host);
}

std::optional<std::string> InstallTest::RegistryText(std::wstring_view key, std::wstring_view name) const {
  const auto value = headless::GetRegistryValue(platform::registry::RootKey::LocalMachine, key, name);
  if (!value || value->type != platform::registry::ValueType::Sz) return std::nullopt;
  return std::string(value->bytes.begin(), value->bytes.end());
}

std::vector<std::wstring> InstallTest::Boxes() const {
  std::vector<std::wstring> boxes;
  for (const auto& box : headless::ShownBoxes()) boxes.push_back(box.title + L": " + box.text);
  return boxes;
}

}  // namespace vxr::test
