// Touching a drive without its medium must fail quietly: by default Windows
// stops the program with a "There is no disk in the drive" box first.
#pragma once

#include <windows.h>

namespace platform::win32 {

class NoCriticalErrorBoxes {
 public:
  NoCriticalErrorBoxes() : old_(SetErrorMode(SEM_FAILCRITICALERRORS)) {}
  ~NoCriticalErrorBoxes() { SetErrorMode(old_); }
  NoCriticalErrorBoxes(const NoCriticalErrorBoxes&) = delete;
  NoCriticalErrorBoxes& operator=(const NoCriticalErrorBoxes&) = delete;

 private:
  UINT old_;
};

}  // namespace platform::win32
