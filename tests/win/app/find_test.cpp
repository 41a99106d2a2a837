#include <gtest/gtest.h>

#include "base/windows_api.h"
#include <commctrl.h>

#include <string>
#include <vector>

#include "app/dlg_corvane.h"
#include "model/notes_text.h"
#include "tests/win/app/app_fixture.h"
#include "tests/win/app/message_box_watch.h"
#include "tests/win/dialogs/dialog_driver.h"

namespace {

using apptest::MainWindowFixture;

class Find : public MainWindowFixture {
 protected:
  static void WriteData() {
    Engine engine;
    engine.groups->Add(L"Friends", L"", Days, 7);
    engine.groups->Add(L"Work", L"", Weeks, 2);
    const Time now = platform::Now();
    engine.contacts->Add(L"Ann", L"", Days, 7, now, text::NotesRtf(L"Met at the Caf\u00E9"), 1);
    engine.contacts->Add(L"Bob", L"", Days, 7, now, L"", 2);
    engine.contacts->Add(L"Cid Cafer", L"", Days, 7, now, L"", 1);
    ASSERT_TRUE(engine.Save());
  }

  HWND Field() { return GetDlgItem(window_->m_hWnd, IDC_FIND); }

  static std::vector<std::wstring> Names(DlgGroupEntry& panel) {
    std::vector<std::wstring> names;
    for (int row = 0; row < panel.List().GetItemCount(); ++row) names.push_back(panel.List().RowContact(row)->name);
    return names;
  }
  std::vector<std::wstring> AllNames() { return Names(*groupTabs().AllPanel()); }

  // A key pressed where `target` has the focus, through the window's keyboard filter.
  bool Press(HWND target, WPARAM key, bool control = false, bool shift = false) {
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_CONTROL] = control ? 0x80 : 0;
    keys[VK_SHIFT] = shift ? 0x80 : 0;
    SetKeyboardState(keys);
    MSG message{target, WM_KEYDOWN, key, 1, 0, {}};
    const bool consumed = window_->Keyboard().PreTranslateMessage(message);
    keys[VK_CONTROL] = keys[VK_SHIFT] = 0;
    SetKeyboardState(keys);
    return consumed;
  }
};

TEST_F(Find, TypingFiltersTheListsThroughTabSwitchesUntilEsc) {
  WriteData();
  Start();
  wchar_t cue[64] = {};
  SendMessageW(Field(), EM_GETCUEBANNER, reinterpret_cast<WPARAM>(cue), 64);
  EXPECT_STREQ(cue, L"Find (Ctrl+F)");

  // Name or notes, without regard to case or accents.
  SetWindowTextW(Field(), L"CAFE");
  EXPECT_EQ(AllNames(), (std::vector<std::wstring>{L"Ann", L"Cid Cafer"}));
  SetWindowTextW(Field(), L"caf\u00E9r");
  EXPECT_EQ(AllNames(), (std::vector<std::wstring>{L"Cid Cafer"}));

  // The filter stays while tabs are switched, for panels made on the way too.
  SelectTab(1);
  EXPECT_EQ(Names(GroupPanel(1)), (std::vector<std::wstring>{L"Cid Cafer"}));
  SelectTab(2);
  EXPECT_TRUE(Names(GroupPanel(2)).empty());
  SetWindowTextW(Field(), L"b");
  EXPECT_EQ(Names(GroupPanel(2)), (std::vector<std::wstring>{L"Bob"}));
  SelectTab(0);
  EXPECT_EQ(AllNames(), (std::vector<std::wstring>{L"Bob"}));

  // The capital-letter commands leave the field's letters alone.
  MSG typed{Field(), WM_CHAR, L'C', 0, 0, {}};
  EXPECT_FALSE(window_->Keyboard().Readdress(typed));

  // Esc in the field clears it and every row is back.
  EXPECT_TRUE(Press(Field(), VK_ESCAPE));
  EXPECT_EQ(GetWindowTextLengthW(Field()), 0);
  EXPECT_EQ(AllNames(), (std::vector<std::wstring>{L"Ann", L"Bob", L"Cid Cafer"}));
  EXPECT_FALSE(Press(Field(), 'A')) << "other keys are the field's";
}

TEST_F(Find, EnterOpensTheFirstRowAndAnEditWhileFilteredMovesTheContact) {
  WriteData();
  Start();
  SetWindowTextW(Field(), L"caf");
  test::DialogDriver driver;
  driver.Expect(L"Add Contact", [](HWND dialog) {
    EXPECT_EQ(test::Text(dialog, IDC_NAME), L"Ann");
    SetDlgItemTextW(dialog, IDC_NAME, L"Anne");
    test::Click(dialog, IDOK);
  });
  EXPECT_TRUE(Press(Field(), VK_RETURN));
  EXPECT_EQ(driver.scriptsRun(), 1);
  EXPECT_EQ(AllNames(), (std::vector<std::wstring>{L"Anne", L"Cid Cafer"}));

  driver.Expect(L"Add Contact", [](HWND dialog) {
    SetDlgItemTextW(dialog, IDC_NAME, L"Cid");
    test::Click(dialog, IDOK);
  });
  ASSERT_TRUE(groupTabs().AllPanel()->OpenRow(1));
  EXPECT_EQ(AllNames(), (std::vector<std::wstring>{L"Anne"})) << "no longer holds the text";
  SetWindowTextW(Field(), L"");
  EXPECT_EQ(AllNames(), (std::vector<std::wstring>{L"Anne", L"Bob", L"Cid"}));
}

TEST_F(Find, KeysOfTheMainWindow) {
  WriteData();
  HWND window = Start();
  ShowWindow(window, SW_SHOW);
  DlgGroupEntry& all = *groupTabs().AllPanel();
  HWND list = all.List().m_hWnd;
  EXPECT_EQ(GetFocus(), groupTabs().Control()) << "capital letters are commands from the start";

  // Ctrl+F from anywhere puts the focus in the field.
  SetFocus(list);
  EXPECT_TRUE(Press(list, 'F', true));
  EXPECT_EQ(GetFocus(), Field());
  EXPECT_FALSE(Press(list, 'F')) << "F alone is a letter";

  // Tab goes through the controls in the order they are seen; the tab strip
  // holds the panels and is switched with Ctrl+Tab.
  const auto tabFrom = [this](HWND from, bool shift = false) {
    SetFocus(from);
    EXPECT_TRUE(Press(from, VK_TAB, false, shift));
    return GetFocus();
  };
  HWND sort = GetDlgItem(all.m_hWnd, IDC_SORT);
  EXPECT_EQ(tabFrom(Field()), sort);
  EXPECT_EQ(tabFrom(sort), list);
  EXPECT_EQ(tabFrom(list), GetDlgItem(window, IDC_ADD_CONTACT));
  EXPECT_EQ(tabFrom(GetDlgItem(window, IDC_OPTIONS)), GetDlgItem(window, IDC_HELP_LINK));
  EXPECT_EQ(tabFrom(GetDlgItem(window, IDC_ADD_CONTACT), true), list);

  // Ctrl+Tab and Ctrl+Shift+Tab go round the tabs.
  EXPECT_TRUE(Press(list, VK_TAB, true));
  EXPECT_EQ(TabCtrl_GetCurSel(groupTabs().Control()), 1);
  EXPECT_TRUE(Press(list, VK_TAB, true, true));
  EXPECT_TRUE(Press(list, VK_TAB, true, true));
  EXPECT_EQ(TabCtrl_GetCurSel(groupTabs().Control()), 2);
  EXPECT_TRUE(IsWindowVisible(GroupPanel(2).m_hWnd)) << "the tab's panel is shown";
  EXPECT_TRUE(Press(list, VK_TAB, true));
  EXPECT_EQ(TabCtrl_GetCurSel(groupTabs().Control()), 0);

  // Enter on a row opens it; Delete deletes it after asking.
  all.List().SetItemState(1, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  test::DialogDriver driver;
  driver.Expect(L"Add Contact", [](HWND dialog) {
    EXPECT_EQ(test::Text(dialog, IDC_NAME), L"Bob");
    test::Click(dialog, IDCANCEL);
  });
  EXPECT_TRUE(Press(list, VK_RETURN));
  EXPECT_EQ(driver.scriptsRun(), 1);
  {
    test::MessageBoxWatch no(IDNO);
    EXPECT_TRUE(Press(list, VK_DELETE));
    ASSERT_EQ(no.texts().size(), 1u);
    EXPECT_EQ(no.texts()[0], L"Delete contact: Bob?");
  }
  test::MessageBoxWatch yes(IDYES);
  EXPECT_TRUE(Press(list, VK_DELETE));
  EXPECT_EQ(AllNames(), (std::vector<std::wstring>{L"Ann", L"Cid Cafer"}));
  EXPECT_FALSE(Press(GetDesktopWindow(), VK_DELETE)) << "keys outside the window are not its own";
}

}  // namespace
