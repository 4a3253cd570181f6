// Runs the built vxrpack (or any command) and collects what it said.
#pragma once

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace vxr::test {

struct ToolRun {
  int exitCode = -1;
  std::string out, err;
};

inline std::string Quote(const std::string& arg) {
  std::string quoted = "'";
  for (const char c : arg) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

inline ToolRun RunCommand(const std::string& command, const std::filesystem::path& scratch) {
  const auto outFile = scratch / "tool.out", errFile = scratch / "tool.err";
  const std::string full = command + " >" + Quote(outFile.string()) + " 2>" + Quote(errFile.string());
  const int status = std::system(full.c_str());
  auto slurp = [](const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  };
  ToolRun run;
  run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  run.out = slurp(outFile);
  run.err = slurp(errFile);
  return run;
}

template <typename... Args>
ToolRun RunVxrpack(const std::filesystem::path& scratch, const Args&... args) {
  std::string command = Quote(VXRPACK_PATH);
  ((command += " " + Quote(std::string(args))), ...);
  return RunCommand(command, scratch);
}

}  // namespace vxr::test
