// What the destination chooser asks of the window that opens it: that window
// itself (the chooser stands in front of it and takes its icon), the
// destination it shows, and being given back when the chooser closes.
#pragma once

#include <string>
#include <string_view>

#include "platform/forms.h"

namespace vxr {

class ChooserOwner {
 public:
  virtual const platform::Form& OwnerWindow() const = 0;
  virtual std::wstring ShownDestination() const = 0;
  virtual void ShowDestination(std::wstring_view destination) = 0;
  // Puts the owner back in use, undoing exactly how it was put out of use.
  virtual void GiveBack() = 0;

 protected:
  ~ChooserOwner() = default;
};

}  // namespace vxr
