// The module ExpandFiles: expands one compressed file into the file it stands
// for through the LZ service, and turns every failure into one signed number
// with, when asked, a Turkish message.
#pragma once

#include <cstdint>
#include <string_view>

namespace vxr {

class FileJournal;

inline constexpr wchar_t kExpandFilesTitle[] = L"ExpandFiles - Hata!";

// Whether ExpandFile explains its failures in a message box.
enum class ShowErrors : bool { No, Yes };

// The bytes written (0 and above); -1 to -16 when opening the source or the
// destination failed (MapOpenError); LZCopy's error code times 100 when the
// copy failed. With ShowErrors::No nothing is shown.
//
// An earlier file at the destination is never cut short: the expansion goes
// into a new file beside it, which takes the destination's name only once it
// is whole. A failure removes the new file and leaves the earlier one as it
// was; one that cannot be replaced (in use) gives the code of its DOS error,
// naming the destination. With a journal the earlier file is kept aside, and
// the change recorded, until the installation ends.
std::int32_t ExpandFile(std::wstring_view sourcePath, std::wstring_view destinationPath, ShowErrors show,
                        FileJournal* journal = nullptr);

// 0 for a handle of 0 or above; otherwise the file error code, -1 to -16, of
// the DOS error that the failed open left.
std::int32_t MapOpenError(std::int32_t handle, std::int16_t openErrorCode);

// Shows the message of a file error code (-1 to -16) naming the trimmed path;
// any other code shows nothing.
void ReportFileError(std::int32_t code, std::wstring_view filePath);

}  // namespace vxr
