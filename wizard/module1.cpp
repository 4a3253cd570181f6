#include "wizard/module1.h"

#include <memory>

#include "chooser/form3.h"
#include "wizard/form1.h"
#include "wizard/form2.h"

namespace vxr {

namespace {
std::unique_ptr<Form1> form1;
std::unique_ptr<Form2> form2;
std::unique_ptr<Form3> form3;
}  // namespace

Form1& TheForm1() {
  if (!form1) form1 = std::make_unique<Form1>();
  return *form1;
}

Form2& TheForm2() {
  if (!form2) form2 = std::make_unique<Form2>();
  return *form2;
}

Form3& TheForm3() {
  if (!form3) form3 = std::make_unique<Form3>();
  return *form3;
}

void Main() {
  TheForm2().Show();
  // The wizard's load handler may end the program instead of showing it.
  TheForm1().Show();
}

void ResetProgram() {
  form3.reset();
  form1.reset();
  form2.reset();
  WizardPage = 0;
  InstallDir = L"";
  TempDir.clear();
  WindowsDrive.clear();
}

}  // namespace vxr
