#include <gtest/gtest.h>

#include "base/windows_api.h"

#include <commctrl.h>

#include <memory>

#include "controls/flat_buttons.h"
#include "controls/image_holder.h"
#include "controls/owner_draw_menu.h"
#include "controls/owner_drawn_button.h"
#include "tests/win/controls/canvas.h"
#include "tests/win/controls/host_window.h"
#include "tests/win/controls/test_files.h"
#include "tests/win/controls/test_icons.h"

namespace {

constexpr int kRounds = 60;

BOOL CALLBACK CountWindow(HWND, LPARAM counter) {
  ++*reinterpret_cast<int*>(counter);
  return TRUE;
}

int ThreadTopLevelWindows() {
  int count = 0;
  EnumThreadWindows(GetCurrentThreadId(), &CountWindow, reinterpret_cast<LPARAM>(&count));
  return count;
}

// What the system says where it says something (Wine answers 0), and the live
// handles of the owning wrappers, which every control uses for its objects.
struct Census {
  long owned = handles::LiveCount();
  DWORD gdi = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
  DWORD user = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
  int windows = ThreadTopLevelWindows();
};

void ExpectNoGrowth(const Census& before, const char* what) {
  const Census after;
  EXPECT_EQ(after.owned, before.owned) << what;
  EXPECT_EQ(after.windows, before.windows) << what;
  // A few objects may be cached by the system on first use.
  if (before.gdi != 0) {
    EXPECT_LE(after.gdi, before.gdi + 8) << what;
  }
  if (before.user != 0) {
    EXPECT_LE(after.user, before.user + 8) << what;
  }
}

void DrawButton(HWND button, int width, int height, UINT state) {
  Canvas canvas(width, height);
  HGDIOBJ previous = SelectObject(canvas.dc(), GetStockObject(DEFAULT_GUI_FONT));
  DRAWITEMSTRUCT item = ButtonDrawRequest(button, canvas.dc(), width, height, state);
  SendMessageW(button, OCM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&item));
  SelectObject(canvas.dc(), previous);
}

// One round of each control first, so one-time costs (registered classes,
// loaded libraries, cached fonts) are paid before counting.
template <class Round>
void RunRounds(Round round, const char* what) {
  round(0);
  const Census before;
  for (int i = 1; i <= kRounds; ++i) round(i);
  ExpectNoGrowth(before, what);
}

TEST(ControlLifetimes, CreatingAndDestroyingButtonsLeavesNoObjectsBehind) {
  RunRounds(
      [](int i) {
        HostWindow host;
        ASSERT_NE(host.CreateHidden(), nullptr);
        auto button = std::make_unique<WTL_EX::COwnerDrawnButton>();
        button->SetRounded(i % 2 == 0);
        if (i % 3 == 0) button->SetThemeHelper(std::make_unique<WTL_EX::ThemeHelper>(L"amicord-no-such-theme.dll"));
        HWND raw = CreateSystemButton(host, L"Add &Contact", {0, 0, 100, 30}, 1001);
        ASSERT_TRUE(button->Attach(raw));
        button->SetIcon(SolidIcon(RGB(0xFF, 0, 0)));
        button->SetIcon(SolidIcon(RGB(0, 0xFF, 0)));
        DrawButton(raw, 100, 30, 0);
        DrawButton(raw, 100, 30, ODS_SELECTED | ODS_FOCUS);
        DrawButton(raw, 100, 30, ODS_DISABLED);
        if (i % 2 == 0) {
          host.DestroyWindow();  // window first, then the object
          button.reset();
        } else {
          button.reset();  // object first: the window lives on without it
        }
      },
      "COwnerDrawnButton");

  HFONT linkFont = nullptr;
  RunRounds(
      [&](int i) {
        HostWindow host;
        ASSERT_NE(host.CreateHidden(), nullptr);
        WTL_EX::ButtonEx link;
        ASSERT_NE(link.Create(host, RECT{0, 0, 60, 16}, L"(Undo)", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, 0, 2141),
                  nullptr);
        link.SetText(L"(Undo)");
        link.SetBackground(RGB(i, 0x80, 0x80));
        link.SetBackground(GetSysColor(COLOR_BTNFACE));
        DrawButton(link, 60, 16, ODS_FOCUS);
        WTL_EX::ButtonSort sort;
        ASSERT_TRUE(sort.Attach(CreateSystemButton(host, L"Name", {0, 20, 100, 40}, 1022)));
        sort.SetBackground(GetSysColor(COLOR_BTNFACE));
        DrawButton(sort, 100, 20, ODS_FOCUS);
        linkFont = link.Font();
      },
      "ButtonEx and ButtonSort");
  EXPECT_EQ(GetObjectType(linkFont), 0u) << "the link's font went with it";
}

TEST(ControlLifetimes, CreatingAndDestroyingImageHoldersLeavesNoObjectsBehind) {
  TempFolder folder;
  const std::wstring picture = folder.File(L"p.png");
  ASSERT_TRUE(WritePng(picture, 32, 16, [](int x, int) { return x < 16 ? 0xFFFF0000u : 0x80000000u; }));
  const std::wstring text = folder.File(L"t.png");
  ASSERT_TRUE(WriteText(text, "text"));
  RunRounds(
      [&](int) {
        HostWindow host;
        ASSERT_NE(host.CreateHidden(), nullptr);
        WTL_EX::ImageHolderCtrl holder;
        HWND window = CreateWindowExW(0, WTL_EX::kImageHolderClassName, L"", WS_CHILD | WS_VISIBLE, 0, 0, 68, 58, host,
                                      nullptr, GetModuleHandleW(nullptr), nullptr);
        ASSERT_TRUE(holder.Attach(window));
        holder.SetImagePath(picture);
        Canvas canvas(68, 58);
        holder.DrawTo(canvas.dc());
        holder.SetImagePath(text);
        holder.SetImagePath(picture);
        holder.DrawTo(canvas.dc());
      },
      "ImageHolderCtrl");
}

class MenuWindow : public CWindowImpl<MenuWindow>, public WTL_EX::COwnerDrawMenu<MenuWindow> {
 public:
  DECLARE_WND_CLASS(L"AmicordLeakTestMenuWindow")
  using Menu = WTL_EX::COwnerDrawMenu<MenuWindow>;
  BEGIN_MSG_MAP(MenuWindow)
    CHAIN_MSG_MAP(Menu)
  END_MSG_MAP()
};

TEST(ControlLifetimes, MenusDrawnAndDestroyedLeaveNoObjectsBehind) {
  UniqueImageList images(ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 2, 2));
  {
    UniqueIcon icon = SolidIcon(RGB(0, 0, 0xFF));
    ImageList_AddIcon(images.get(), icon.get());
  }
  HFONT menuFont = nullptr;
  RunRounds(
      [&](int) {
        MenuWindow window;
        ASSERT_NE(window.Create(nullptr, RECT{0, 0, 50, 50}, L"", WS_POPUP), nullptr);
        UniqueMenu menu(CreatePopupMenu());
        window.AttachImageList(menu.get(), images.get());
        AppendMenuW(menu.get(), MF_STRING, 10, L"&Edit\tCtrl+E");
        window.SetItemImage(menu.get(), 10, 0);
        AppendMenuW(menu.get(), MF_SEPARATOR, 0, nullptr);
        AppendMenuW(menu.get(), MF_STRING, 11, L"&Delete");
        SendMessageW(window, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu.get()), 0);
        for (UINT id : {10u, 0u, 11u}) {
          MEASUREITEMSTRUCT measure{};
          measure.CtlType = ODT_MENU;
          measure.itemID = id;
          SendMessageW(window, WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&measure));
          Canvas canvas(120, static_cast<int>(measure.itemHeight));
          DRAWITEMSTRUCT draw{};
          draw.CtlType = ODT_MENU;
          draw.itemID = id;
          draw.itemState = ODS_SELECTED | ODS_CHECKED;
          draw.hDC = canvas.dc();
          draw.rcItem = canvas.rect();
          SendMessageW(window, WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&draw));
        }
        SendMessageW(window, WM_EXITMENULOOP, 0, 0);
        window.DetachImageList(menu.get());
        menuFont = window.MenuFont();
        window.DestroyWindow();
      },
      "COwnerDrawMenu");
  EXPECT_EQ(GetObjectType(menuFont), 0u) << "the menu font went with the window object";
}

}  // namespace
