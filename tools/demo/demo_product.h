// The demo product that `vxrpack build --demo` packs: eight files of ours, made
// the same way on every build, that stand in for Tarvo's Screen Recorder so that
// the setup can be tried end to end. Each says that it is a demo file.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "format/product_files.h"

namespace vxr::demo {

// The programs, compiled by the build for i686 and for x86_64 Windows.
extern const std::span<const std::uint8_t> kScreenRecorderExe32;
extern const std::span<const std::uint8_t> kUninstallExe32;
extern const std::span<const std::uint8_t> kScreenRecorderExe64;
extern const std::span<const std::uint8_t> kUninstallExe64;

enum class Programs { kI686, kX86_64 };

// The eight files in the payload table's order (kProductFiles). The i686
// programs are the demo as it ships; x86_64 ones run under a Wine that only
// runs 64-bit programs.
std::vector<payload::ProductFile> DemoProduct(Programs programs = Programs::kI686);

}  // namespace vxr::demo
