// The headless platform's side door for tests: scripted answers, injected
// events and failures, and a look at everything the program showed or did.
// Only tests include this header.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/files.h"
#include "platform/forms.h"
#include "platform/system_info.h"

namespace headless {

// Back to a fresh machine: no boxes, answers, events, drives, started programs;
// system facts at their defaults (C:\WINDOWS, C:\WINDOWS\TEMP\, 1024x768 at 15 twips).
void Reset();
// Each headless service registers how to forget its state, at static
// initialisation: `static const headless::ResetHook hook{&ResetMyService};`
struct ResetHook {
  explicit ResetHook(void (*reset)());
};

// ---- Ending the program -------------------------------------------------------
// EndProgram() throws this; nothing in the program catches it, so it unwinds to
// the test, as ExitProcess would leave the program.
struct ProgramEnded {};
// Runs `action`; true when the program ended inside it.
bool EndsProgram(const std::function<void()>& action);
bool ProgramHasEnded();

// ---- Message and input boxes ----------------------------------------------------
struct ShownBox {
  std::wstring text;
  std::uint32_t style;
  std::wstring title;
  int answer;
};
// Answers for the next boxes, in order. Without one, a box takes its default
// button (the second with MB_DEFBUTTON2), as pressing Enter would.
void QueueBoxAnswer(int answer);
// Decides every box that has no queued answer; called with the box before it is recorded.
void SetBoxResponder(std::function<int(const ShownBox&)> responder);
const std::vector<ShownBox>& ShownBoxes();
void ClearShownBoxes();

struct ShownInput {
  std::wstring prompt, title, defaultText, answer;
};
// Without a queued answer an input box is cancelled (empty text).
void QueueInputAnswer(std::wstring answer);
const std::vector<ShownInput>& ShownInputs();

// ---- Events ----------------------------------------------------------------------
// Runs at the next ProcessPendingEvents(), as a click waiting in the queue would.
void QueueEvent(std::function<void()> event);
int PendingEventCount();

// ---- Forms -------------------------------------------------------------------------
// A loaded form by its window caption, or nullptr.
platform::Form* FindForm(std::wstring_view caption);
// What a person could do. Each returns false (and does nothing) when the
// control is hidden, disabled, or its window is out of use or not shown.
bool Click(platform::Form& form, std::string_view control);
bool PressCloseBox(platform::Form& form);
bool SelectDrive(platform::Form& form, std::string_view driveList, std::wstring_view drive);
// Opens a folder of the folder list as a double click does: a subfolder by its
// name, or ".." for the folder above.
bool OpenFolder(platform::Form& form, std::string_view folderList, std::wstring_view name);
// Every value the form's in-use state was set to, in order.
const std::vector<bool>& InUseChanges(const platform::Form& form);
// Shown and in use, with every container visible and enabled.
bool CanPress(const platform::Form& form, std::string_view control);
bool IsShown(const platform::Form& form);
// Every control repainted at once (Form::Repaint), in order, with the text it
// showed then; the control is empty for the whole window.
struct Repainted {
  std::wstring form;  // the window's caption
  std::string control;
  std::wstring text;
};
const std::vector<Repainted>& Repaints();

// ---- Top-level windows -----------------------------------------------------------
// Other programs' top-level windows by title, in z-order, hidden ones too. A
// walk (platform/window_list.h) meets the setup's own loaded forms first, shown
// or not, then these. Tests change them between two walks, as a user closing a
// program would.
void SetOtherWindows(std::vector<std::wstring> titles);
// The captions of the loaded forms, the newest first.
std::vector<std::wstring> LoadedFormCaptions();

// ---- Files -------------------------------------------------------------------------
// Windows paths on `letter` map to `folder` on the host; names are matched
// without regard to case, as Windows does.
void MapDrive(wchar_t letter, const std::filesystem::path& folder);
std::filesystem::path HostPath(std::wstring_view windowsPath);
// One name between a Windows path and the host's, in UTF-8 whatever the
// process locale: Windows names carry any letter.
std::filesystem::path HostName(std::wstring_view windowsName);
std::wstring WindowsName(const std::filesystem::path& hostName);
// Drives: MapDrive makes a fixed drive, ready, without a label, reporting the
// host's free space under its folder, the current drive being C:.
// `type` is Windows' code (platform/drive_type.h). Giving a type to a letter
// that has no folder makes a drive without a medium. Every drive is listed,
// also one of type 1 (no root: a drive that went after it was listed).
void SetDriveType(wchar_t letter, std::uint32_t type);
// The volume label, or a network drive's share name: the drive list shows it in brackets.
void SetVolumeLabel(wchar_t letter, std::wstring label);
// Not ready (no medium, or locked): nothing on it exists, nothing can be made
// there (ERROR_NOT_READY), its free space cannot be asked.
void SetDriveReady(wchar_t letter, bool ready);
// The free space the drive reports. InjectFailure("FreeBytes", L"c:\\", error)
// makes the query fail.
void SetFreeBytes(wchar_t letter, std::uint64_t bytes);
// Makes `path` its drive's current folder (what a bare "d:" opens); with
// `currentDrive` that drive also becomes the current drive, where the drive
// and folder lists start.
void SetCurrentFolder(std::wstring_view path, bool currentDrive = true);
// The locale's digit grouping: its separator and Windows' grouping text
// ("3;0" threes, "3;2;0" Indian style, "3" one group only). Default "," and "3;0".
void SetNumberGrouping(std::wstring separator, std::wstring grouping);
// Marks a file hidden or system (the host file system has no such attributes).
void SetHiddenOrSystem(std::wstring_view windowsPath, bool hiddenOrSystem);
bool IsHiddenOrSystem(std::wstring_view windowsPath);
// The next `count` operations of `operation` on paths beginning with `pathPrefix`
// (case-insensitive) fail with `error`. Operation names: "MakeDirectory",
// "RemoveEmptyDirectory", "DeleteMatchingFiles", and those other services name.
void InjectFailure(std::string_view operation, std::wstring_view pathPrefix, platform::DosError error,
                   int count = 1);
// Used by the headless services: the injected error for this call, or 0.
platform::DosError TakeInjectedFailure(std::string_view operation, std::wstring_view path);
// errno of a failed host call, as Windows would report it.
platform::DosError DosErrorFromErrno(int error, bool parentMissing = false);

// The raw-file and LZ services name their operations "RawOpenRead",
// "RawOpenWrite", "RawRead", "RawWrite" and "LzOpenFile" for InjectFailure.
// After `bytes` more bytes written through those services the disk is full: a
// write keeps what fits and fails (ERROR_DISK_FULL). Negative: no limit, the default.
void FillDiskAfter(std::int64_t bytes);
// Used by those services: how many of `wanted` bytes still fit, counted as written.
std::size_t TakeDiskSpace(std::size_t wanted);
// The next LzCopy returns `result`, a negative LZERROR code, and copies nothing.
void FailNextLzCopy(std::int32_t result);

// ---- Processes and system facts ---------------------------------------------------
// What StartProgramAsUser and StartProgramFile started: command lines, program files.
const std::vector<std::wstring>& StartedPrograms();
// False: every start fails (StartProgramAsUser with ERROR_ACCESS_DENIED).
void SetStartProgramResult(bool succeeds);
// Whether a desktop shell answers StartProgramAsUser, as on Windows (the
// default), or not, as under Wine.
void SetDesktopShellAnswers(bool answers);
// The current folder StartProgramAsUser last gave a program.
const std::wstring& LastStartDirectory();
// The running executable by its full Windows path, extension and all
// (C:\SETUP\VXRSetup.dat); its sections are what the program's own image holds.
void SetRunningExecutable(std::wstring path);
std::wstring RunningExecutablePath();
void SetTempPath(std::wstring path);          // as GetTempPath reports it, e.g. "C:\TEMP\"; "" when it fails
void SetWindowsDirectory(std::wstring path);  // as GetWindowsDirectory reports it
void SetWorkArea(platform::PixelRect area);
void SetTwipsPerPixel(int x, int y);
// The ANSI code page of the A calls (registry, LZ, system paths): 1252, as the
// Wine test prefix has, unless a test makes it 1254, a Turkish Windows.
void SetAnsiCodePage(std::uint32_t codePage);

}  // namespace headless
