// The program icon as Windows picks it from the setup's resources: for each
// size the setup asks for at 96 dpi (SM_CXSMICON, 16, for the caption;
// SM_CXICON, 32, for the window and the wizard's picture) the icon group holds
// an image of exactly that size, and Windows decodes it. The images are PNG,
// which only Windows Vista and later read; a group without one of the sizes
// would make Windows scale another.
#include <gtest/gtest.h>
#include <windows.h>

#include "resource_ids.h"

namespace vxr::test {
namespace {

struct Bytes {
  BYTE* data = nullptr;
  DWORD size = 0;
};

Bytes Resource(int id, LPCWSTR type) {
  HRSRC found = FindResourceW(nullptr, MAKEINTRESOURCEW(id), type);
  HGLOBAL loaded = found ? LoadResource(nullptr, found) : nullptr;
  if (!loaded) return {};
  return {static_cast<BYTE*>(LockResource(loaded)), SizeofResource(nullptr, found)};
}

TEST(ProgramIcon, HoldsEachSizeTheSetupAsksForAndWindowsDecodesIt) {
  const Bytes group = Resource(VXR_ICON_PROGRAM, MAKEINTRESOURCEW(14) /* RT_GROUP_ICON */);
  ASSERT_NE(group.data, nullptr);
  for (const int size : {16, 32}) {
    const int id = LookupIconIdFromDirectoryEx(group.data, TRUE, size, size, LR_DEFAULTCOLOR);
    ASSERT_NE(id, 0) << size << " px";
    const Bytes image = Resource(id, MAKEINTRESOURCEW(3) /* RT_ICON */);
    ASSERT_NE(image.data, nullptr) << size << " px";
    // Width and height 0: the image's own size, not one scaled to order.
    HICON icon = CreateIconFromResourceEx(image.data, image.size, TRUE, 0x00030000, 0, 0, LR_DEFAULTCOLOR);
    ASSERT_NE(icon, nullptr) << "the " << size << " px image did not decode";
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(icon, &info));
    BITMAP colour{};
    GetObjectW(info.hbmColor, sizeof colour, &colour);
    EXPECT_EQ(colour.bmWidth, size) << "expected a " << size << " px image, got " << colour.bmWidth;
    EXPECT_EQ(colour.bmHeight, size);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    DestroyIcon(icon);
  }
}

}  // namespace
}  // namespace vxr::test
