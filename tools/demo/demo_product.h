// The demo product that `vxrpack build --demo` packs: eight files of ours, made
// the same way on every build, that stand in for Tarvo's Screen Recorder so that
// the setup can be tried end to end. Each says that it is a demo file.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "tools/vxrpack/package.h"

namespace vxr::demo {

// The programs, compiled for i686 Windows by the build and embedded.
extern const std::span<const std::uint8_t> kScreenRecorderExe;
extern const std::span<const std::uint8_t> kUninstallExe;

// The eight files in the payload table's order (kProductFiles).
std::vector<pack::ProductFile> DemoProduct();

}  // namespace vxr::demo
