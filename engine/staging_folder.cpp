#include "engine/staging_folder.h"

namespace vxr {

namespace {
// Enough names for every setup a user leaves half-run.
constexpr int kNamesToTry = 1000;

// By hand: std::to_wstring brings the C library's whole formatter into the stub.
std::wstring Decimal(int n) {
  std::wstring digits;
  do digits.insert(digits.begin(), static_cast<wchar_t>(L'0' + n % 10));
  while ((n /= 10) > 0);
  return digits;
}
}  // namespace

platform::DosError StagingFolder::Make(std::wstring_view tempDir) {
  // "\VXRTMP" alone would be the root of whatever drive is current.
  if (tempDir.empty()) return platform::kErrorPathNotFound;
  const std::wstring base = std::wstring(tempDir) + L"\\VXRTMP";
  for (int n = 0; n < kNamesToTry; ++n) {
    const std::wstring candidate = n == 0 ? base : base + Decimal(n);
    // Only a directory this call made is ours; whatever is there already is not.
    const platform::DosError error = platform::MakeDirectory(candidate);
    if (error == platform::kErrorSuccess) {
      path_ = candidate;
      return error;
    }
    if (error != platform::kErrorAlreadyExists) return error;
  }
  return platform::kErrorAlreadyExists;
}

std::wstring StagingFolder::FileFor(std::wstring_view storedName) {
  files_.push_back(path_ + L"\\" + std::wstring(storedName));
  return files_.back();
}

void StagingFolder::Remove() {
  if (path_.empty()) return;
  for (const std::wstring& file : files_) platform::DeleteOneFile(file);
  platform::RemoveEmptyDirectory(path_);
  files_.clear();
  path_.clear();
}

}  // namespace vxr
