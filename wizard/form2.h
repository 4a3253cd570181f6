// The full-screen backdrop behind the whole setup: blue bands and the title.
#pragma once

#include "platform/forms.h"

namespace vxr {

class Form2 final : public platform::FormEvents {
 public:
  enum Control : platform::ControlId { Label1, Label2, Shape1_0, kControlCount };

  Form2();
  platform::Form& Window() { return window_; }
  void Show() { window_.Show(); }
  void Form_Load() override;

  // Shape1(k), the band k; band 0 is the designed one.
  platform::ControlId Shape1(int k) const;
  int BandCount() const { return bandCount_; }

 private:
  platform::Form window_;
  int bandCount_ = 1;
};

}  // namespace vxr
