// vxrpack: the packing tool of VXR Setup.
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#ifdef _WIN32
#include <io.h>
#define VXR_ISATTY(f) _isatty(_fileno(f))
#else
#include <unistd.h>
#define VXR_ISATTY(f) isatty(fileno(f))
#endif

#include "codec/szdd_expander.h"
#include "tools/demo/demo_product.h"
#include "tools/vxrpack/file_io.h"
#include "tools/vxrpack/package.h"
#include "tools/vxrpack/stub_location.h"
#include "tools/vxrpack/szdd_compressor.h"
#include "tools/vxrpack/version_resource.h"

namespace {

namespace fs = std::filesystem;
using namespace vxr::pack;

constexpr int kExitOk = 0;
constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

// Also the source of the manual page (help2man.sh): a line of its own ending
// in ':' starts a section there.
constexpr std::string_view kUsage =
    "usage: vxrpack COMMAND ...\n"
    "\n"
    "Builds and checks VXR Setup packages: the setup stub followed by the\n"
    "product's eight files, each compressed in the SZDD format of COMPRESS.\n"
    "\n"
    "commands:\n"
    "  build [--stub STUB.exe] (--product DIR | --demo | --demo-x64)\n"
    "        --output PACKAGE.exe\n"
    "        Compresses the product's files (from DIR, or the built-in demo\n"
    "        product), writes their table into the stub's .vxrpay section and\n"
    "        appends them. --demo-x64 packs the demo with x86_64 programs, for\n"
    "        a Wine that runs only 64-bit programs. DIR holds, by these names:\n"
    "          Screen Recorder.exe, Stop.wav, Start.wav, Shot.wav, Click.wav,\n"
    "          Beep.wav, Uninstall VXR.exe, VXR.chm\n"
    "        Without --stub, the stub installed with vxrpack (see files).\n"
    "        The package is written whole or not at all (a temporary file in\n"
    "        its folder, then renamed); its folder is created when missing.\n"
    "        Sign the package, if at all, after building it.\n"
    "  list PACKAGE.exe\n"
    "        Shows the package's payload table and checks every piece as the\n"
    "        setup will take it: position, CRC-32, SZDD header, expansion.\n"
    "  compress IN OUT\n"
    "        One file into SZDD, as COMPRESS does (OUT customarily ends in '_').\n"
    "  expand IN OUT\n"
    "        One SZDD file back, as EXPAND does; a file that is not SZDD is\n"
    "        copied unchanged.\n"
    "  demo [--demo-x64] DIR\n"
    "        Writes the eight files of the built-in demo product into DIR.\n"
    "\n"
    "options:\n"
    "  -q, --quiet    no summary table\n"
    "  -h, --help     this text\n"
    "  --version      vxrpack's version and the stub's (from its version\n"
    "                 resource): the one given with --stub, else the installed one\n"
    "\n"
    "files:\n"
    "  ../share/vxr-setup/setup-stub.exe, from vxrpack's own folder\n"
    "  setup-stub.exe in vxrpack's own folder (the Windows zip)\n"
    "        The setup stub installed with vxrpack: the first of these that\n"
    "        exists is the one build and --version take without --stub.\n"
    "\n"
    "exit status:\n"
    "  0 success, 1 failure (the reason on stderr; for list, a piece that fails\n"
    "  a check; for --version, a stub not found or without a version), 2 wrong\n"
    "  usage.\n";

int Fail(const std::string& message) {
  std::fprintf(stderr, "vxrpack: %s\n", message.c_str());
  return kExitFailure;
}

int UsageError(const std::string& message) {
  std::fprintf(stderr, "vxrpack: %s\nTry 'vxrpack --help'.\n", message.c_str());
  return kExitUsage;
}

std::string Grouped(std::uint64_t n) {
  const std::string digits = std::to_string(n);
  std::string grouped;
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (i != 0 && (digits.size() - i) % 3 == 0) grouped.push_back(',');
    grouped.push_back(digits[i]);
  }
  return grouped;
}

std::string Ratio(std::uint64_t compressed, std::uint64_t original) {
  if (original == 0) return "-";
  char text[16];
  std::snprintf(text, sizeof text, "%.1f%%",
                100.0 * static_cast<double>(compressed) / static_cast<double>(original));
  return text;
}

// A progress line on stderr, for inputs large enough to make the user wait.
class ProgressLine {
 public:
  explicit ProgressLine(std::uint64_t total) : enabled_(total >= kLargeInput && VXR_ISATTY(stderr)) {}
  ~ProgressLine() {
    if (shown_) std::fprintf(stderr, "\r%*s\r", 60, "");
  }
  Progress Callback() {
    if (!enabled_) return {};
    return [this](std::uint64_t done, std::uint64_t total) {
      const int percent = total ? static_cast<int>(done * 100 / total) : 100;
      if (percent == last_) return;
      last_ = percent;
      shown_ = true;
      std::fprintf(stderr, "\rvxrpack: compressing %3d%% (%s of %s bytes)", percent, Grouped(done).c_str(),
                   Grouped(total).c_str());
      std::fflush(stderr);
    };
  }

 private:
  static constexpr std::uint64_t kLargeInput = 4u << 20;
  bool enabled_;
  bool shown_ = false;
  int last_ = -1;
};

void PrintPieces(const std::vector<PieceReport>& pieces, bool withChecks) {
  std::printf("%-20s %12s %12s %7s  %-8s", "Stored name", "Original", "Compressed", "Ratio", "CRC-32");
  if (withChecks) std::printf("  %s", "Check");
  std::printf("\n");
  std::uint64_t original = 0;
  std::uint64_t compressed = 0;
  for (const PieceReport& p : pieces) {
    char crc[9] = "-";
    if (p.hasCrc) std::snprintf(crc, sizeof crc, "%08X", p.crc32);
    std::printf("%-20s %12s %12s %7s  %-8s", p.storedName.c_str(), Grouped(p.originalSize).c_str(),
                Grouped(static_cast<std::uint64_t>(p.length)).c_str(),
                Ratio(static_cast<std::uint64_t>(p.length), p.originalSize).c_str(), crc);
    if (withChecks)
      std::printf("  %s", p.problem.empty() ? (p.hasCrc ? "ok" : "ok (no CRC)") : p.problem.c_str());
    std::printf("\n");
    original += p.originalSize;
    compressed += static_cast<std::uint64_t>(p.length);
  }
  std::printf("%-20s %12s %12s %7s\n", "Total", Grouped(original).c_str(), Grouped(compressed).c_str(),
              Ratio(compressed, original).c_str());
}

// Both commands stream: the window, a few blocks and, for compress, the
// positions whose parse is still open are all they hold, whatever the size.
// Their output is renamed into place whole but not flushed to the disk
// first: like cp or EXPAND, they leave that to the system.
int Compress(const fs::path& in, const fs::path& out, bool quiet) {
  InputFile input;
  AtomicOutputFile output;
  std::string error;
  if (!input.Open(in, error)) return Fail(error);
  if (!output.Create(out, AtomicOutputFile::Durability::kRename, error)) return Fail(error);
  const char missing = MissingChar(in.filename().string());
  // The size field is filled in at the end, when the size is known.
  if (!output.Write(SzddHeader(missing, 0))) return Fail(output.Error());
  std::uint64_t size = 0;
  CompressResult result;
  {
    // Cleared before anything else is printed.
    ProgressLine progress(input.Size());
    StreamOptions options;
    options.expectedSize = input.Size();
    options.progress = progress.Callback();
    result = CompressStream(input, output, size, options);
  }
  switch (result) {
    case CompressResult::kOk: break;
    case CompressResult::kReadFailed: return Fail(input.Error());
    case CompressResult::kWriteFailed: return Fail(output.Error());
    case CompressResult::kTooLarge:
      return Fail(Display(in) + ": too large for the SZDD format (4 GiB at most)");
  }
  input.Close();
  if (!output.WriteAtStart(SzddHeader(missing, static_cast<std::uint32_t>(size))))
    return Fail(output.Error());
  const std::uint64_t packed = output.Size();
  if (!output.Commit(error)) return Fail(error);
  if (!quiet) {
    std::printf("%s: %s -> %s bytes (%s)\n", Display(in).c_str(), Grouped(size).c_str(),
                Grouped(packed).c_str(), Ratio(packed, size).c_str());
  }
  return kExitOk;
}

int Expand(const fs::path& in, const fs::path& out) {
  InputFile input;
  AtomicOutputFile output;
  std::string error;
  if (!input.Open(in, error)) return Fail(error);
  if (!output.Create(out, AtomicOutputFile::Durability::kRename, error)) return Fail(error);
  const std::int64_t n = vxr::szdd::ExpandStream(input, output);
  if (n == vxr::szdd::kLzErrorRead) return Fail(input.Error());
  if (n == vxr::szdd::kLzErrorWrite) return Fail(output.Error());
  if (n < 0) return Fail(Display(in) + ": cannot be expanded (LZ error " + std::to_string(n) + ")");
  // Closed first: the output may replace the input.
  input.Close();
  if (!output.Commit(error)) return Fail(error);
  return kExitOk;
}

int Build(const fs::path& givenStub, const fs::path& productDir, std::optional<vxr::demo::Programs> demo,
          const fs::path& output, bool quiet) {
  std::vector<std::uint8_t> stub;
  std::string error;
  const auto stubPath = FindStub(givenStub, error);
  if (!stubPath) return Fail(error);
  if (!ReadWholeFile(*stubPath, stub, error)) return Fail(error);

  std::vector<ProductFile> files;
  if (demo) {
    files = vxr::demo::DemoProduct(*demo);
  } else {
    std::error_code ec;
    if (!fs::is_directory(productDir, ec)) return Fail(Display(productDir) + ": not a folder");
    for (const std::string_view name : kProductFiles) {
      ProductFile file;
      file.installedName = name;
      if (!ReadWholeFile(productDir / fs::path(file.installedName), file.bytes, error)) return Fail(error);
      files.push_back(std::move(file));
    }
  }

  std::uint64_t total = 0;
  for (const ProductFile& f : files) total += f.bytes.size();
  BuiltPackage package;
  bool built = false;
  {
    ProgressLine progress(total);
    built = BuildPackage(stub, files, package, error, progress.Callback());
  }
  if (!built) {
    // Stub problems are reported against the stub, the rest as they come.
    const bool aboutStub = error.rfind("is ", 0) == 0 || error.rfind("has ", 0) == 0 ||
                           error.rfind("its ", 0) == 0 || error.rfind("not ", 0) == 0;
    return Fail(aboutStub ? Display(*stubPath) + ": " + error : error);
  }
  if (!WriteFileAtomically(output, package.bytes, error)) return Fail(error);
  if (!quiet) {
    PrintPieces(package.pieces, false);
    std::printf("\n%s: %s bytes (stub %s, padding %zu, pieces %s)\n", Display(output).c_str(),
                Grouped(package.bytes.size()).c_str(), Grouped(package.stubSize).c_str(), package.padding,
                Grouped(package.bytes.size() - package.stubSize - package.padding).c_str());
  }
  return kExitOk;
}

int List(const fs::path& path, bool quiet) {
  std::vector<std::uint8_t> bytes;
  std::string error;
  if (!ReadWholeFile(path, bytes, error)) return Fail(error);
  PackageCheck check;
  if (!CheckPackage(bytes, check, error)) return Fail(Display(path) + ": " + error);
  if (!quiet) {
    PrintPieces(check.pieces, true);
    std::printf("\n%s: %s bytes, pieces end at %s%s\n", Display(path).c_str(), Grouped(bytes.size()).c_str(),
                Grouped(check.payloadEnd).c_str(),
                check.signedPackage ? " (signed: the certificate table follows)" : "");
  }
  if (!check.AllSound()) return Fail(Display(path) + ": some pieces fail their checks");
  return kExitOk;
}

// The tool's version even when the stub's cannot be had: it is the one
// thing sure to be known.
int PrintVersion(const fs::path& givenStub) {
  std::printf("vxrpack %s\n", VXRPACK_VERSION);
  std::fflush(stdout);
  std::string error;
  const auto stubPath = FindStub(givenStub, error);
  if (!stubPath) return Fail(error);
  std::vector<std::uint8_t> stub;
  if (!ReadWholeFile(*stubPath, stub, error)) return Fail(error);
  const auto version = ReadImageVersion(stub, error);
  if (!version) return Fail(Display(*stubPath) + ": " + error);
  std::string shown = Dotted(version->product);
  if (!version->productText.empty()) shown = version->productText + " (" + shown + ")";
  std::printf("setup stub %s: %s\n", shown.c_str(), Display(*stubPath).c_str());
  return kExitOk;
}

int WriteDemo(const fs::path& dir, vxr::demo::Programs programs) {
  std::string error;
  for (const ProductFile& file : vxr::demo::DemoProduct(programs)) {
    if (!WriteFileAtomically(dir / fs::path(file.installedName), file.bytes, error)) return Fail(error);
  }
  return kExitOk;
}

int Run(int argc, char** argv) {
  std::vector<std::string> positional;
  std::string stub, product, output;
  std::optional<vxr::demo::Programs> demo;
  bool quiet = false, version = false;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    auto value = [&](std::string& to) {
      if (i + 1 >= argc) return false;
      to = argv[++i];
      return true;
    };
    if (arg == "-h" || arg == "--help") {
      std::fputs(kUsage.data(), stdout);
      return kExitOk;
    } else if (arg == "--version") {
      version = true;
    } else if (arg == "-q" || arg == "--quiet") {
      quiet = true;
    } else if (arg == "--demo" || arg == "--demo-x64") {
      const auto programs = arg == "--demo" ? vxr::demo::Programs::kI686 : vxr::demo::Programs::kX86_64;
      if (demo && *demo != programs) return UsageError("--demo and --demo-x64 exclude each other");
      demo = programs;
    } else if (arg == "--stub" || arg == "--product" || arg == "--output" || arg == "-o") {
      std::string& to = arg == "--stub" ? stub : arg == "--product" ? product : output;
      if (!value(to)) return UsageError(std::string(arg) + " needs a value");
    } else if (arg.size() > 1 && arg[0] == '-') {
      return UsageError("unknown option " + std::string(arg));
    } else {
      positional.emplace_back(arg);
    }
  }
  if (version) {
    if (!positional.empty() || !product.empty() || !output.empty() || demo)
      return UsageError("--version takes no command and no options but --stub");
    return PrintVersion(stub);
  }
  if (positional.empty()) return UsageError("no command");
  const std::string command = positional[0];
  const std::size_t operands = positional.size() - 1;
  const bool buildOptions = !stub.empty() || !product.empty() || !output.empty();
  if (command != "build" && buildOptions) return UsageError("--stub, --product and --output are for build");
  if (command != "build" && command != "demo" && demo) return UsageError("--demo is for build and demo");

  if (command == "compress" || command == "expand") {
    if (operands != 2) return UsageError(command + " takes IN and OUT");
    return command == "compress" ? Compress(positional[1], positional[2], quiet)
                                 : Expand(positional[1], positional[2]);
  }
  if (command == "build") {
    if (operands != 0) return UsageError("build takes options only");
    if (output.empty()) return UsageError("build needs --output");
    if (demo.has_value() == !product.empty()) return UsageError("build needs either --product DIR or --demo");
    return Build(stub, product, demo, output, quiet);
  }
  if (command == "list") {
    if (operands != 1) return UsageError("list takes one package");
    return List(positional[1], quiet);
  }
  if (command == "demo") {
    if (operands != 1) return UsageError("demo takes one folder");
    return WriteDemo(positional[1], demo.value_or(vxr::demo::Programs::kI686));
  }
  return UsageError("unknown command " + command);
}

}  // namespace

int main(int argc, char** argv) {
  RemoveTemporaryFilesOnSignal();
  return Run(argc, argv);
}
