// Measures the installation on the headless platform: the time from Next on
// the destination page to the finished state, against copying the same
// installed bytes with a plain 64 KiB read/write loop in the same run, for the
// demo package and for a product of about 50 MB of mixed content. Also times
// the extraction and the expansion of the pieces on their own, to show where
// the time goes. Reports figures; asserts nothing.
//
//   install_bench [RUNS]     (default 5; the median of the runs is reported)
//   install_bench --write-product DIR
//                            writes the 50 MB product's eight files into DIR, for
//                            bench/install/wine.sh
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "common/install_ui.h"
#include "engine/expand_files.h"
#include "engine/extract_piece.h"
#include "engine/payload_table.h"
#include "platform/files.h"
#include "platform/headless/headless.h"
#include "platform/shell_links.h"
#include "registration/product_settings.h"
#include "registration/program_group.h"
#include "tests/support/corpus.h"
#include "tests/support/pe_builder.h"
#include "tools/demo/demo_product.h"
#include "tools/vxrpack/package.h"
#include "wizard/form1.h"
#include "wizard/module1.h"

namespace {

namespace fs = std::filesystem;
using vxr::test::Bytes;
using Clock = std::chrono::steady_clock;

constexpr wchar_t kDestination[] = L"C:\\Program Files\\Screen Recorder";
constexpr wchar_t kStaging[] = L"C:\\WINDOWS\\TEMP\\VXRTMP";
constexpr wchar_t kPackage[] = L"C:\\SETUP\\VXRSetup.exe";

double Milliseconds(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

// ---- The ~50 MB product --------------------------------------------------------------

// Real PE files for the programs, sound-like samples for the sounds, and for
// the help file text, already-compressed pictures (noise) and empty runs.
Bytes Programs(std::size_t size, std::size_t skip) {
  static const char* const kNames[] = {"shell32.dll", "user32.dll",   "comctl32.dll", "kernel32.dll",
                                       "ole32.dll",   "gdi32.dll",    "msvcrt.dll",   "ntdll.dll",
                                       "wininet.dll", "d3d9.dll",     "mshtml.dll",   "urlmon.dll",
                                       "crypt32.dll", "setupapi.dll", "rpcrt4.dll"};
  Bytes out;
  for (std::size_t i = skip; out.size() < size; ++i) {
    const Bytes dll = vxr::test::ReadFile(vxr::test::kWineDlls / kNames[i % std::size(kNames)]);
    if (dll.empty() && i > skip + std::size(kNames)) break;
    out.insert(out.end(), dll.begin(), dll.end());
  }
  // Without Wine's DLLs: code-like bytes, a small alphabet with repeats.
  std::mt19937 random(7);
  while (out.size() < size)
    out.push_back(static_cast<std::uint8_t>(random() % 7 == 0 ? random() : out.size() % 61));
  out.resize(size);
  return out;
}

Bytes Sound(std::size_t size, unsigned seed) {
  Bytes out(size);
  std::mt19937 random(seed);
  double phase = 0;
  for (std::size_t i = 0; i + 1 < size; i += 2) {
    phase += 0.05 + 0.01 * (seed % 5);
    const int sample = static_cast<int>(9000 * std::sin(phase)) + static_cast<int>(random() % 512) - 256;
    out[i] = static_cast<std::uint8_t>(sample);
    out[i + 1] = static_cast<std::uint8_t>(sample >> 8);
  }
  return out;
}

Bytes HelpFile(std::size_t size) {
  Bytes out;
  std::mt19937 random(11);
  const char* const words[] = {"record ",   "the ",   "screen ", "window ", "frame ", "rate ",      "press ",
                               "settings ", "movie ", "studio ", "<p>",     "</p>\n", "<b>VXR</b> "};
  while (out.size() < size) {
    for (int i = 0; i < 200000; ++i) {
      const char* w = words[random() % std::size(words)];
      out.insert(out.end(), w, w + std::char_traits<char>::length(w));
    }
    for (int i = 0; i < 300000; ++i) out.push_back(static_cast<std::uint8_t>(random()));  // pictures
    out.insert(out.end(), 100000, 0);
  }
  out.resize(size);
  return out;
}

std::vector<vxr::pack::ProductFile> MixedProduct() {
  constexpr std::size_t kMB = 1'000'000;
  std::vector<vxr::pack::ProductFile> files;
  files.push_back({"Screen Recorder.exe", Programs(22 * kMB, 0)});
  const char* sounds[] = {"Stop.wav", "Start.wav", "Shot.wav", "Click.wav", "Beep.wav"};
  for (unsigned i = 0; i < 5; ++i) files.push_back({sounds[i], Sound(2 * kMB, i)});
  files.push_back({"Uninstall VXR.exe", Programs(3 * kMB, 5)});
  files.push_back({"VXR.chm", HelpFile(15 * kMB)});
  return files;
}

// ---- One machine, one installation ------------------------------------------------------

class Machine {
 public:
  explicit Machine(const Bytes& package) : root_("install-bench") {
    Fresh();
    vxr::test::WriteFile(headless::HostPath(kPackage), package);
  }
  fs::path Host(std::wstring_view path) const { return headless::HostPath(path); }
  fs::path Root() const { return root_.path(); }

  // As before a first installation: no destination, registry, group or
  // windows; "Program Files" and the Start menu's Programs folder, as every
  // Windows has them.
  void Fresh() {
    vxr::ResetProgram();
    headless::Reset();
    fs::create_directories(root_ / "C" / "WINDOWS" / "TEMP");
    headless::MapDrive(L'C', root_ / "C");
    std::error_code ec;
    fs::remove_all(root_ / "C" / "Program Files", ec);
    fs::remove_all(root_ / "C" / "Users", ec);
    fs::create_directories(root_ / "C" / "Program Files");
    fs::create_directories(Host(platform::ProgramsFolder()));
    headless::SetRunningExecutable(kPackage);
  }

  // The milliseconds from Next on the destination page to the finished state.
  double Install() {
    Fresh();
    vxr::Main();
    auto& wizard = vxr::TheForm1().Window();
    if (!headless::Click(wizard, "Command2") || !headless::Click(wizard, "Option1") ||
        !headless::Click(wizard, "Command2")) {
      std::fprintf(stderr, "cannot reach the destination page\n");
      std::exit(1);
    }
    const auto start = Clock::now();
    const bool ended = headless::EndsProgram([&] { headless::Click(wizard, "Command2"); });
    const auto took = Clock::now() - start;
    if (ended || !vxr::TheForm1().Finished() || !headless::ShownBoxes().empty()) {
      std::fprintf(stderr, "the installation did not finish cleanly\n");
      std::exit(1);
    }
    return Milliseconds(took);
  }

 private:
  vxr::test::ScratchDir root_;
};

// The installed files copied from `from` into `to`, 64 KiB at a time.
double PlainCopy(const fs::path& from, const fs::path& to, const std::vector<vxr::pack::ProductFile>& files) {
  std::error_code ec;
  fs::remove_all(to, ec);
  fs::create_directories(to);
  std::vector<char> buffer(64 * 1024);
  const auto start = Clock::now();
  for (const auto& file : files) {
    const int in = ::open((from / file.installedName).c_str(), O_RDONLY | O_CLOEXEC);
    const int out = ::open((to / file.installedName).c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (in < 0 || out < 0) {
      std::perror("plain copy");
      std::exit(1);
    }
    for (ssize_t n; (n = ::read(in, buffer.data(), buffer.size())) > 0;) {
      if (::write(out, buffer.data(), static_cast<std::size_t>(n)) != n) {
        std::perror("plain copy");
        std::exit(1);
      }
    }
    ::close(in);
    ::close(out);
  }
  return Milliseconds(Clock::now() - start);
}

struct Steps {
  double extract = 0, expand = 0, registry = 0, cleanUp = 0, group = 0;
};

class NoWindow final : public vxr::InstallUi {
 public:
  void SetStatusLine(std::wstring_view) override {}
  void RefreshWindow() override {}
};

// The installation's steps alone, as the sequence calls them.
Steps StepTimes(Machine& machine) {
  machine.Fresh();
  fs::create_directories(machine.Host(L"C:\\WINDOWS\\TEMP\\VXRTMP"));
  fs::create_directories(machine.Root() / "C" / "Program Files" / "Screen Recorder");
  const auto table = vxr::EmbeddedPayloadTable();
  Steps steps;
  for (const auto& piece : *table) {
    const std::wstring staged = std::wstring(kStaging) + L"\\" + piece.storedName;
    auto start = Clock::now();
    vxr::ExtractPiece(kPackage, staged, piece.length, piece.distance, piece.crc);
    steps.extract += Milliseconds(Clock::now() - start);
    start = Clock::now();
    vxr::ExpandFile(staged, std::wstring(kDestination) + L"\\" + piece.installedName, vxr::ShowErrors::Yes);
    steps.expand += Milliseconds(Clock::now() - start);
  }
  NoWindow ui;
  auto start = Clock::now();
  vxr::WriteRegistrySettings(kDestination, ui);
  steps.registry = Milliseconds(Clock::now() - start);
  start = Clock::now();
  for (const auto& piece : *table) platform::DeleteOneFile(std::wstring(kStaging) + L"\\" + piece.storedName);
  platform::RemoveEmptyDirectory(kStaging);
  steps.cleanUp = Milliseconds(Clock::now() - start);
  start = Clock::now();
  vxr::CreateProgramGroup(kDestination, ui);
  steps.group = Milliseconds(Clock::now() - start);
  return steps;
}

void Measure(const char* name, const std::vector<vxr::pack::ProductFile>& files, int runs) {
  vxr::pack::BuiltPackage built;
  std::string error;
  if (!vxr::pack::BuildPackage(vxr::test::MakeStub(), files, built, error)) {
    std::fprintf(stderr, "%s: %s\n", name, error.c_str());
    std::exit(1);
  }
  std::uint64_t installed = 0;
  for (const auto& file : files) installed += file.bytes.size();

  Machine machine(built.bytes);
  const fs::path source = machine.Root() / "product", copy = machine.Root() / "copy";
  for (const auto& file : files) vxr::test::WriteFile(source / file.installedName, file.bytes);

  std::vector<double> install, plain, extract, expand, registry, cleanUp, group;
  machine.Install();  // warm-up: the package and the product in the page cache
  PlainCopy(source, copy, files);
  for (int i = 0; i < runs; ++i) {
    install.push_back(machine.Install());
    plain.push_back(PlainCopy(source, copy, files));
    const Steps steps = StepTimes(machine);
    extract.push_back(steps.extract);
    expand.push_back(steps.expand);
    registry.push_back(steps.registry);
    cleanUp.push_back(steps.cleanUp);
    group.push_back(steps.group);
  }
  const double ms = Median(install), copyMs = Median(plain);
  std::printf("%-12s %8.1f %8.1f %9.1f %9.1f %6.2fx %8.1f %8.1f %8.1f %8.1f %8.1f\n", name,
              static_cast<double>(installed) / 1e6,
              static_cast<double>(built.bytes.size() - built.stubSize) / 1e6, ms, copyMs, ms / copyMs,
              Median(extract), Median(expand), Median(registry), Median(cleanUp), Median(group));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::string(argv[1]) == "--write-product") {
    for (const auto& file : MixedProduct())
      vxr::test::WriteFile(fs::path(argv[2]) / file.installedName, file.bytes);
    return 0;
  }
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
  std::printf(
      "Installation (Next on the destination page to Finish) against a plain 64 KiB copy of the\n"
      "installed files; medians of %d runs, milliseconds. The last five columns time the\n"
      "installation's steps on their own: every piece's extraction, every expansion, the\n"
      "registry step, the staging folder's removal, the program group.\n\n",
      runs);
  std::printf("%-12s %8s %8s %9s %9s %7s %8s %8s %8s %8s %8s\n", "product", "MB", "packed", "install", "copy",
              "ratio", "extract", "expand", "registry", "clean-up", "group");
  // "demo" as a second argument: the demo package alone (for a profiler).
  Measure("demo", vxr::demo::DemoProduct(), runs);
  if (argc < 3 || std::string(argv[2]) != "demo") Measure("mixed 50 MB", MixedProduct(), runs);
  return 0;
}
