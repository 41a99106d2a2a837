// The dialog templates: what the resource holds, and what the dialog manager
// builds from it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "base/windows_api.h"

#include <commctrl.h>
#include <richedit.h>

#include "resource.h"

namespace {

HINSTANCE Module() { return GetModuleHandleW(nullptr); }

struct Item {
  int id;
  std::wstring cls;
  std::wstring text;
  int x, y, cx, cy;
  DWORD style;
};

struct Template {
  DWORD style = 0, exStyle = 0;
  int cx = 0, cy = 0;
  std::wstring caption, font;
  int pointSize = 0;
  std::vector<Item> items;
};

// Reads a DLGTEMPLATEEX as windres writes it.
class Reader {
 public:
  explicit Reader(const BYTE* at) : at_(at) {}
  WORD Word() {
    WORD v;
    std::memcpy(&v, at_, 2);
    at_ += 2;
    return v;
  }
  DWORD Dword() {
    DWORD v;
    std::memcpy(&v, at_, 4);
    at_ += 4;
    return v;
  }
  short Short() { return static_cast<short>(Word()); }
  std::wstring String() {
    std::wstring s;
    for (WORD c = Word(); c; c = Word()) s += static_cast<wchar_t>(c);
    return s;
  }
  std::wstring NameOrOrdinal() {
    WORD first;
    std::memcpy(&first, at_, 2);
    if (first == 0xFFFF) {
      Word();
      switch (WORD ordinal = Word()) {
        case 0x80:
          return L"Button";
        case 0x81:
          return L"Edit";
        case 0x82:
          return L"Static";
        case 0x85:
          return L"ComboBox";
        default:
          return L"#" + std::to_wstring(ordinal);
      }
    }
    return String();
  }
  void AlignDword(const BYTE* base) {
    while ((at_ - base) % 4) ++at_;
  }
  const BYTE* at() const { return at_; }
  void Skip(size_t n) { at_ += n; }

 private:
  const BYTE* at_;
};

const BYTE* TemplateBytes(int id) {
  HRSRC found = FindResourceW(Module(), MAKEINTRESOURCEW(id), RT_DIALOG);
  return found ? static_cast<const BYTE*>(LockResource(LoadResource(Module(), found))) : nullptr;
}

Template ReadTemplate(int id) {
  Template t;
  const BYTE* base = TemplateBytes(id);
  if (!base) return t;
  Reader r(base);
  EXPECT_EQ(r.Word(), 1);       // dlgVer
  EXPECT_EQ(r.Word(), 0xFFFF);  // extended template
  r.Dword();                    // help id
  t.exStyle = r.Dword();
  t.style = r.Dword();
  int count = r.Word();
  r.Short();
  r.Short();
  t.cx = r.Short();
  t.cy = r.Short();
  EXPECT_EQ(r.NameOrOrdinal(), L"");  // no menu
  EXPECT_EQ(r.NameOrOrdinal(), L"");  // standard dialog class
  t.caption = r.String();
  if (t.style & DS_SETFONT) {
    t.pointSize = r.Word();
    r.Word();
    r.Word();
    t.font = r.String();
  }
  for (int i = 0; i < count; ++i) {
    r.AlignDword(base);
    Item item;
    r.Dword();  // help id
    r.Dword();  // ex style
    item.style = r.Dword();
    item.x = r.Short();
    item.y = r.Short();
    item.cx = r.Short();
    item.cy = r.Short();
    item.id = static_cast<int>(r.Dword());
    item.cls = r.NameOrOrdinal();
    item.text = r.NameOrOrdinal();
    r.Skip(r.Word());
    t.items.push_back(item);
  }
  return t;
}

constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;
constexpr DWORD kLabel = kChild | WS_GROUP | SS_LEFT;
constexpr DWORD kEdit = kChild | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL;
constexpr DWORD kNumber = kEdit | ES_NUMBER;
constexpr DWORD kPush = kChild | WS_TABSTOP | BS_PUSHBUTTON;
constexpr DWORD kDefault = kChild | WS_TABSTOP | BS_DEFPUSHBUTTON;
constexpr DWORD kCheck = kChild | WS_TABSTOP | BS_AUTOCHECKBOX;
constexpr DWORD kGroupBox = kChild | BS_GROUPBOX;
constexpr DWORD kUnitList = kChild | WS_VSCROLL | WS_TABSTOP | CBS_DROPDOWNLIST | CBS_SORT;
constexpr DWORD kTimePicker = kChild | WS_TABSTOP | DTS_TIMEFORMAT | DTS_UPDOWN;
constexpr DWORD kModal = DS_SETFONT | DS_FIXEDSYS | DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU;

struct Expected {
  int id;
  DWORD style, exStyle;
  int cx, cy;
  const wchar_t* caption;
  std::vector<Item> items;
};

const Expected kMain = {IDD_MAIN,
                        DS_SETFONT | DS_FIXEDSYS | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME |
                            WS_MINIMIZEBOX | WS_MAXIMIZEBOX,
                        0,
                        414,
                        397,
                        L"Amicord - Personal Relationship Manager",
                        {{IDC_FIND, L"Edit", L"", 7, 7, 400, 12, kEdit},
                         {IDC_TABS, L"SysTabControl32", L"", 7, 23, 400, 342, kChild | WS_TABSTOP},
                         {IDC_ADD_CONTACT, L"Button", L"Add &Contact", 7, 372, 59, 18, kPush},
                         {IDC_ADD_GROUP, L"Button", L"Add &Group", 74, 372, 59, 18, kPush},
                         {IDC_OPTIONS, L"Button", L"&Options", 142, 372, 59, 18, kPush},
                         {IDC_HELP_LINK, L"Button", L"Help", 368, 377, 39, 13, kChild | WS_TABSTOP | BS_OWNERDRAW}}};

const Expected kGroup = {IDD_GROUP,
                         kModal,
                         WS_EX_TOOLWINDOW,
                         167,
                         182,
                         L"Add Group",
                         {{-1, L"Static", L"Group name:", 12, 17, 42, 8, kLabel},
                          {IDC_GROUP_NAME, L"Edit", L"", 66, 15, 84, 14, kEdit},
                          {-1, L"Button", L"Optional Default Settings", 7, 45, 153, 112, kGroupBox},
                          {-1, L"Static", L"Contact every:", 12, 63, 50, 8, kLabel},
                          {IDC_INTERVAL_COUNT, L"Edit", L"", 62, 60, 28, 14, kNumber},
                          {IDC_INTERVAL_UNIT, L"ComboBoxEx32", L"", 98, 60, 52, 77, kUnitList},
                          {-1, L"Static", L"Image:", 12, 85, 24, 8, kLabel},
                          {IDC_IMAGE, L"WTL_EX::ImageHolderCtrl", L"Picture", 62, 85, 64, 54, kChild | WS_TABSTOP},
                          {IDC_BROWSE, L"Button", L"Browse", 62, 140, 64, 14, kDefault},
                          {IDOK, L"Button", L"Save && Close", 43, 160, 57, 14, kDefault},
                          {IDCANCEL, L"Button", L"Cancel", 103, 160, 57, 14, kPush}}};

const Expected kContact = {
    IDD_CONTACT,
    kModal | WS_VISIBLE,
    WS_EX_TOOLWINDOW,
    371,
    304,
    L"Add Contact",
    {{IDC_IMAGE, L"WTL_EX::ImageHolderCtrl", L"Picture", 12, 21, 64, 54, kChild | WS_TABSTOP},
     {IDC_BROWSE, L"Button", L"Browse", 12, 76, 64, 14, kDefault},
     {-1, L"Static", L"Name:", 79, 23, 22, 8, kLabel},
     {IDC_NAME, L"Edit", L"", 113, 21, 105, 14, kEdit},
     {-1, L"Static", L"Contact every:", 230, 23, 50, 8, kLabel},
     {IDC_INTERVAL_COUNT, L"Edit", L"", 281, 21, 28, 14, kNumber},
     {IDC_INTERVAL_UNIT, L"ComboBoxEx32", L"", 312, 21, 52, 64, kUnitList},
     {-1, L"Static", L"Group:", 79, 58, 23, 8, kLabel},
     {IDC_GROUP, L"ComboBoxEx32", L"", 113, 55, 105, 106, kUnitList},
     {-1, L"Static", L"Last contacted:", 230, 58, 51, 8, kLabel},
     {IDC_LAST_CONTACTED, L"SysDateTimePick32", L"", 281, 54, 83, 15,
      kChild | WS_TABSTOP | DTS_RIGHTALIGN | DTS_SHORTDATEFORMAT},
     {-1, L"Button", L"Notes", 7, 92, 357, 72, kGroupBox},
     {IDC_NOTES, L"RichEdit20A", L"", 16, 102, 341, 57,
      kChild | WS_BORDER | WS_VSCROLL | WS_HSCROLL | WS_TABSTOP | ES_MULTILINE | ES_WANTRETURN},
     // The details below the notes, in reading order; a date's fields share the place
     // of the number or address and are shown in its stead.
     {-1, L"Button", L"Phones, E-mail Addresses and Dates", 7, 168, 357, 113, kGroupBox},
     {IDC_DETAILS, L"SysListView32", L"", 16, 179, 341, 52,
      kChild | WS_BORDER | WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_NOSORTHEADER},
     {-1, L"Static", L"Kind:", 16, 236, 50, 8, kLabel},
     {IDC_DETAIL_KIND, L"ComboBox", L"", 16, 246, 52, 60, kChild | WS_VSCROLL | WS_TABSTOP | CBS_DROPDOWNLIST},
     {-1, L"Static", L"Label:", 72, 236, 66, 8, kLabel},
     {IDC_DETAIL_LABEL, L"ComboBox", L"", 72, 246, 66, 80,
      kChild | WS_VSCROLL | WS_TABSTOP | CBS_DROPDOWN | CBS_AUTOHSCROLL},
     {IDC_DETAIL_VALUE_LABEL, L"Static", L"Number:", 142, 236, 114, 8, kLabel},
     {IDC_DETAIL_VALUE, L"Edit", L"", 142, 246, 114, 14, kEdit},
     {IDC_DETAIL_DAY_LABEL, L"Static", L"Day:", 142, 236, 22, 8, kLabel & ~WS_VISIBLE},
     {IDC_DETAIL_DAY, L"Edit", L"", 142, 246, 22, 14, kNumber & ~WS_VISIBLE},
     {IDC_DETAIL_MONTH_LABEL, L"Static", L"Month:", 167, 236, 52, 8, kLabel & ~WS_VISIBLE},
     {IDC_DETAIL_MONTH, L"ComboBox", L"", 167, 246, 52, 120, WS_CHILD | WS_VSCROLL | WS_TABSTOP | CBS_DROPDOWNLIST},
     {IDC_DETAIL_YEAR_LABEL, L"Static", L"Year:", 222, 236, 34, 8, kLabel & ~WS_VISIBLE},
     {IDC_DETAIL_YEAR, L"Edit", L"", 222, 246, 34, 14, kNumber & ~WS_VISIBLE},
     {IDC_DETAIL_ADD, L"Button", L"&Add", 261, 246, 30, 14, kPush},
     {IDC_DETAIL_CHANGE, L"Button", L"C&hange", 294, 246, 31, 14, kPush},
     {IDC_DETAIL_REMOVE, L"Button", L"&Remove", 328, 246, 29, 14, kPush},
     {IDC_DETAIL_HINT, L"Static", L"Leave the year empty when it is not known.", 142, 264, 215, 8,
      kLabel & ~WS_VISIBLE},
     {IDOK, L"Button", L"Save && Close", 238, 284, 57, 14, kDefault},
     {IDCANCEL, L"Button", L"Cancel", 298, 284, 57, 14, kPush}}};

// DS_CONTROL: Tab goes from the tabs into the panel, then on to the buttons.
const Expected kPanel = {IDD_GROUP_ENTRY,
                         0x40080448,
                         0,
                         400,
                         411,
                         L"",
                         {{-1, L"Static", L"Sort by:", 7, 9, 27, 8, 0x50020000},
                          {IDC_SORT, L"Button", L"None", 41, 7, 76, 14, 0x50010000},
                          {IDC_CONTACT_LIST, L"SysListView32", L"", 7, 24, 386, 380, 0x50815C01}}};

const Expected kOptions = {
    IDD_OPTIONS,
    kModal,
    WS_EX_TOOLWINDOW,
    210,
    189,
    L"Options",
    // In the order they are seen, which is the Tab order.
    {{IDC_AUTO_START, L"Button", L"Auto-start with windows", 7, 7, 94, 10, kCheck},
     {IDC_SHOW_LAST_CONTACTED, L"Button", L"Show last contacted information", 7, 20, 119, 10, kCheck},
     {IDC_MINIMIZE_TO_TRAY, L"Button", L"Minimize to system tray", 7, 35, 91, 10, kCheck},
     {IDC_REMIND, L"Button", L"Remind me when people are due", 7, 50, 116, 10, kCheck},
     {IDC_REMIND_AT_LABEL, L"Static", L"at", 126, 51, 9, 8, kLabel},
     {IDC_REMIND_AT, L"SysDateTimePick32", L"", 138, 48, 65, 14, kTimePicker},
     {IDC_DATE_LEAD_LABEL, L"Static", L"Remind me of birthdays and dates", 7, 66, 196, 8, kLabel},
     {IDC_DATE_LEAD, L"Edit", L"", 15, 77, 22, 12, kNumber},
     {-1, L"Static", L"days before", 41, 79, 60, 8, kLabel},
     {-1, L"Button", L"Warning", 7, 96, 196, 63, kGroupBox},
     {IDC_WARN_PERCENT, L"Edit", L"", 15, 106, 40, 12, kNumber},
     {-1, L"Static", L"% of time before next contact has elapsed.", 60, 107, 141, 17, kLabel},
     {IDC_WARN_DAYS, L"Edit", L"", 15, 126, 40, 12, kNumber},
     {-1, L"Static", L"days (or less) remain until next contact.", 60, 128, 128, 17, kLabel},
     {IDC_ADDRESS_BOOK_SYNC, L"Button", L"Address Book Sync...", 7, 168, 84, 14, kPush},
     {IDOK, L"Button", L"OK", 97, 168, 50, 14, kDefault},
     {IDCANCEL, L"Button", L"Cancel", 153, 168, 50, 14, kPush}}};

const Expected* const kAll[] = {&kMain, &kGroup, &kContact, &kPanel, &kOptions};

// Reading order of boxes: split into bands that no box straddles, top to
// bottom, else into the first column and the rest, and so on inside each part. Boxes
// stacked flush in one column (a picture with its button under it) stay one
// block, so a column at the side of a form is read whole before the form.
struct Block {
  RECT box;
  std::vector<int> members;  // in reading order
};

std::vector<int> ReadingOrder(std::vector<Block> blocks) {
  std::vector<int> order;
  if (blocks.size() == 1) return blocks[0].members;
  for (bool across : {true, false}) {
    auto start = [across](const Block& b) { return across ? b.box.top : b.box.left; };
    auto end = [across](const Block& b) { return across ? b.box.bottom : b.box.right; };
    std::sort(blocks.begin(), blocks.end(), [&](const Block& a, const Block& b) { return start(a) < start(b); });
    std::vector<std::vector<Block>> parts;
    LONG reach = 0;
    for (const Block& block : blocks) {
      if (parts.empty() || start(block) >= reach) parts.emplace_back();
      parts.back().push_back(block);
      reach = parts.back().size() == 1 ? end(block) : std::max(reach, end(block));
    }
    if (parts.size() < 2) continue;
    // Only the first column is read whole; what lies right of it is read in bands again.
    if (!across) {
      for (std::size_t later = 2; later < parts.size(); ++later)
        parts[1].insert(parts[1].end(), parts[later].begin(), parts[later].end());
      parts.resize(2);
    }
    for (auto& part : parts)
      for (int member : ReadingOrder(std::move(part))) order.push_back(member);
    return order;
  }
  // Overlapping boxes: top to bottom, then left to right.
  std::sort(blocks.begin(), blocks.end(), [](const Block& a, const Block& b) {
    return a.box.top != b.box.top ? a.box.top < b.box.top : a.box.left < b.box.left;
  });
  for (const Block& block : blocks) order.insert(order.end(), block.members.begin(), block.members.end());
  return order;
}

std::vector<Block> StackColumns(std::vector<Block> blocks) {
  std::sort(blocks.begin(), blocks.end(), [](const Block& a, const Block& b) { return a.box.top < b.box.top; });
  for (std::size_t upper = 0; upper < blocks.size(); ++upper) {
    for (std::size_t lower = upper + 1; lower < blocks.size();) {
      Block& a = blocks[upper];
      const Block& b = blocks[lower];
      const bool flush = std::abs(a.box.left - b.box.left) <= 2 && std::abs(a.box.right - b.box.right) <= 2 &&
                         b.box.top >= a.box.bottom && b.box.top - a.box.bottom <= 4;
      if (!flush) {
        ++lower;
        continue;
      }
      a.box.bottom = b.box.bottom;
      a.members.insert(a.members.end(), b.members.begin(), b.members.end());
      blocks.erase(blocks.begin() + static_cast<std::ptrdiff_t>(lower));
    }
  }
  return blocks;
}

BOOL CALLBACK CollectDialog(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR ids) {
  if (IS_INTRESOURCE(name)) reinterpret_cast<std::vector<int>*>(ids)->push_back(static_cast<int>(LOWORD(name)));
  return TRUE;
}

INT_PTR CALLBACK LeaveToDialogManager(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

std::string Narrow(const std::wstring& s) { return std::string(s.begin(), s.end()); }

class DialogTemplates : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    richEdit_ = LoadLibraryW(L"RICHED20.DLL");
    INITCOMMONCONTROLSEX init = {sizeof(init), ICC_LISTVIEW_CLASSES | ICC_DATE_CLASSES | ICC_USEREX_CLASSES |
                                                   ICC_TAB_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&init);
    // Stands in for the image holder control, which registers the same class name.
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = Module();
    wc.lpszClassName = L"WTL_EX::ImageHolderCtrl";
    RegisterClassExW(&wc);
    host_ = CreateWindowExW(0, L"Static", L"host", WS_POPUP, 0, 0, 800, 900, nullptr, nullptr, Module(), nullptr);
  }
  static void TearDownTestSuite() {
    DestroyWindow(host_);
    UnregisterClassW(L"WTL_EX::ImageHolderCtrl", Module());
    FreeLibrary(richEdit_);
  }

  // Creates the dialog from a copy of its template with WS_VISIBLE cleared.
  static HWND CreateHidden(int id) {
    HRSRC found = FindResourceW(Module(), MAKEINTRESOURCEW(id), RT_DIALOG);
    if (!found) return nullptr;
    const BYTE* data = static_cast<const BYTE*>(LockResource(LoadResource(Module(), found)));
    std::vector<BYTE> copy(data, data + SizeofResource(Module(), found));
    DWORD style;
    std::memcpy(&style, copy.data() + 12, 4);
    style &= ~WS_VISIBLE;
    std::memcpy(copy.data() + 12, &style, 4);
    HWND owner = (style & WS_CHILD) ? host_ : nullptr;
    return CreateDialogIndirectParamW(Module(), reinterpret_cast<LPCDLGTEMPLATEW>(copy.data()), owner,
                                      LeaveToDialogManager, 0);
  }

  static HMODULE richEdit_;
  static HWND host_;
};

HMODULE DialogTemplates::richEdit_ = nullptr;
HWND DialogTemplates::host_ = nullptr;

TEST_F(DialogTemplates, ResourceHoldsTheLaidDownStylesTextsAndRectangles) {
  for (const Expected* want : kAll) {
    SCOPED_TRACE("template " + std::to_string(want->id));
    Template t = ReadTemplate(want->id);
    EXPECT_EQ(t.style, want->style);
    EXPECT_EQ(t.exStyle, want->exStyle);
    EXPECT_EQ(t.cx, want->cx);
    EXPECT_EQ(t.cy, want->cy);
    EXPECT_EQ(t.caption, want->caption);
    EXPECT_EQ(t.font, L"MS Shell Dlg");
    EXPECT_EQ(t.pointSize, 8);
    ASSERT_EQ(t.items.size(), want->items.size());
    for (size_t i = 0; i < t.items.size(); ++i) {
      const Item& got = t.items[i];
      const Item& exp = want->items[i];
      SCOPED_TRACE("control " + std::to_string(i) + " " + Narrow(exp.text) + " " + std::to_string(exp.id));
      EXPECT_EQ(static_cast<short>(got.id), exp.id);
      EXPECT_EQ(_wcsicmp(got.cls.c_str(), exp.cls.c_str()), 0) << Narrow(got.cls);
      EXPECT_EQ(got.text, exp.text);
      EXPECT_EQ(got.style, exp.style) << std::hex << got.style << " != " << exp.style;
      EXPECT_EQ(got.x, exp.x);
      EXPECT_EQ(got.y, exp.y);
      EXPECT_EQ(got.cx, exp.cx);
      EXPECT_EQ(got.cy, exp.cy);
    }
  }
}

TEST_F(DialogTemplates, EachDialogIsBuiltWithItsControlsInTabOrder) {
  for (const Expected* want : kAll) {
    SCOPED_TRACE("template " + std::to_string(want->id));
    HWND dialog = CreateHidden(want->id);
    ASSERT_NE(dialog, nullptr) << "error " << GetLastError();
    EXPECT_FALSE(IsWindowVisible(dialog));

    RECT client = {};
    GetClientRect(dialog, &client);
    RECT size = {0, 0, want->cx, want->cy};
    MapDialogRect(dialog, &size);
    EXPECT_EQ(client.right, size.right);
    EXPECT_EQ(client.bottom, size.bottom);
    wchar_t caption[128] = {};
    GetWindowTextW(dialog, caption, 128);
    EXPECT_STREQ(caption, want->caption);

    HWND child = GetWindow(dialog, GW_CHILD);
    for (const Item& exp : want->items) {
      SCOPED_TRACE("control " + Narrow(exp.text) + " " + std::to_string(exp.id));
      ASSERT_NE(child, nullptr) << "missing";
      EXPECT_EQ(static_cast<short>(GetDlgCtrlID(child)), exp.id);
      wchar_t cls[64] = {};
      GetClassNameW(child, cls, 64);
      EXPECT_EQ(_wcsicmp(cls, exp.cls.c_str()), 0) << Narrow(cls);
      // Screen readers read a control's window text as its name; the picture well never draws it.
      if (exp.cls == L"Button" || exp.cls == L"Static" || exp.id == IDC_IMAGE) {
        wchar_t text[128] = {};
        GetWindowTextW(child, text, 128);
        EXPECT_EQ(text, exp.text);
      }
      // The dialog manager converts position and size separately, as MapDialogRect does field by field.
      RECT want_rect = {exp.x, exp.y, exp.cx, exp.cy};
      MapDialogRect(dialog, &want_rect);
      want_rect.right += want_rect.left;
      want_rect.bottom += want_rect.top;
      RECT got = {};
      GetWindowRect(child, &got);
      MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&got), 2);
      EXPECT_EQ(got.left, want_rect.left);
      EXPECT_EQ(got.top, want_rect.top);
      EXPECT_EQ(got.right, want_rect.right);
      // A combo box's template height is its drop-down; the closed box is shorter.
      if (exp.cls == L"ComboBoxEx32" || exp.cls == L"ComboBox") {
        EXPECT_LE(got.bottom, want_rect.bottom);
        EXPECT_GT(got.bottom - got.top, 10);
      } else {
        EXPECT_EQ(got.bottom, want_rect.bottom);
      }
      child = GetWindow(child, GW_HWNDNEXT);
    }
    EXPECT_EQ(child, nullptr) << "no controls beyond the template's";
    DestroyWindow(dialog);
  }
}

TEST_F(DialogTemplates, PanelIsAChildThatFitsInsideTheMainWindowsTabs) {
  HWND panel = CreateHidden(IDD_GROUP_ENTRY);
  ASSERT_NE(panel, nullptr);
  EXPECT_EQ(GetParent(panel), host_);
  EXPECT_TRUE(GetWindowLongPtrW(panel, GWL_STYLE) & WS_CHILD);
  EXPECT_FALSE(GetWindowLongPtrW(panel, GWL_STYLE) & WS_CAPTION);
  HWND list = GetDlgItem(panel, IDC_CONTACT_LIST);
  ASSERT_NE(list, nullptr);
  LONG_PTR style = GetWindowLongPtrW(list, GWL_STYLE);
  EXPECT_EQ(style & LVS_TYPEMASK, LVS_REPORT);
  EXPECT_TRUE(style & LVS_OWNERDRAWFIXED);
  EXPECT_TRUE(style & LVS_NOCOLUMNHEADER);
  EXPECT_FALSE(style & LVS_SINGLESEL) << "several people can be selected at once";
  DestroyWindow(panel);
}

TEST_F(DialogTemplates, UnitListsKeepInsertionOrderDespiteTheirSortStyle) {
  // Both record dialogs rely on entry index == interval unit.
  for (int id : {IDD_GROUP, IDD_CONTACT}) {
    SCOPED_TRACE("template " + std::to_string(id));
    HWND dialog = CreateHidden(id);
    ASSERT_NE(dialog, nullptr);
    HWND units = GetDlgItem(dialog, IDC_INTERVAL_UNIT);
    ASSERT_NE(units, nullptr);
    const wchar_t* names[] = {L"Days", L"Weeks", L"Months"};
    for (int i = 0; i < 3; ++i) {
      COMBOBOXEXITEMW item = {};
      item.mask = CBEIF_TEXT | CBEIF_LPARAM;
      item.iItem = SendMessageW(units, CB_GETCOUNT, 0, 0);
      item.pszText = const_cast<wchar_t*>(names[i]);
      item.lParam = i;
      EXPECT_EQ(SendMessageW(units, CBEM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)), i);
    }
    for (int i = 0; i < 3; ++i) {
      wchar_t text[32] = {};
      COMBOBOXEXITEMW item = {};
      item.mask = CBEIF_TEXT | CBEIF_LPARAM;
      item.iItem = i;
      item.pszText = text;
      item.cchTextMax = 32;
      ASSERT_TRUE(SendMessageW(units, CBEM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item)));
      EXPECT_STREQ(text, names[i]);
      EXPECT_EQ(item.lParam, i);
    }
    DestroyWindow(dialog);
  }
}

TEST_F(DialogTemplates, NotesFieldIsARichEditThatTakesRtf) {
  HWND dialog = CreateHidden(IDD_CONTACT);
  ASSERT_NE(dialog, nullptr);
  HWND notes = GetDlgItem(dialog, IDC_NOTES);
  ASSERT_NE(notes, nullptr);
  // A plain edit control would answer 0 to a rich edit message.
  SendMessageW(notes, EM_SETEVENTMASK, 0, ENM_CHANGE);
  EXPECT_EQ(SendMessageW(notes, EM_GETEVENTMASK, 0, 0), ENM_CHANGE);
  DestroyWindow(dialog);
}

// The journal's dialogs: built with their controls, ids clear of every other
// dialog's and of one another.
TEST_F(DialogTemplates, JournalDialogsHoldTheirControlsUnderIdsOfTheirOwn) {
  static_assert(IDD_LOG_CONTACT != IDD_HISTORY && IDD_HISTORY != IDD_SNOOZE_DATE && IDD_LOG_CONTACT != IDD_SNOOZE_DATE,
                "one id each");
  for (int id : {IDD_LOG_CONTACT, IDD_HISTORY, IDD_SNOOZE_DATE})
    for (int other : {IDD_MAIN, IDD_GROUP, IDD_CONTACT, IDD_GROUP_ENTRY, IDD_OPTIONS, IDI_APP, IDI_ADD_GROUP,
                      IDI_OPTIONS, IDI_ADD_CONTACT, IDI_STATUS_RED, IDI_STATUS_ORANGE, IDI_STATUS_GREEN,
                      IDI_STATUS_GREY, IDB_MENU, IDB_CONTACT_MENU})
      EXPECT_NE(id, other);
  struct Control {
    int id;
    const wchar_t* cls;
  };
  const std::pair<int, std::vector<Control>> dialogs[] = {
      {IDD_LOG_CONTACT,
       {{IDC_LOG_DATE, DATETIMEPICK_CLASSW},
        {IDC_LOG_TIME, DATETIMEPICK_CLASSW},
        {IDC_LOG_TEXT, L"Edit"},
        {IDOK, L"Button"},
        {IDCANCEL, L"Button"}}},
      {IDD_HISTORY,
       {{IDC_HISTORY_COUNT, L"Static"},
        {IDC_HISTORY_LIST, WC_LISTVIEWW},
        {IDC_HISTORY_DELETE, L"Button"},
        {IDCANCEL, L"Button"}}},
      {IDD_SNOOZE_DATE, {{IDC_SNOOZE_DATE, DATETIMEPICK_CLASSW}, {IDOK, L"Button"}, {IDCANCEL, L"Button"}}},
  };
  for (const auto& [id, controls] : dialogs) {
    SCOPED_TRACE("template " + std::to_string(id));
    HWND dialog = CreateHidden(id);
    ASSERT_NE(dialog, nullptr) << "error " << GetLastError();
    for (const Control& control : controls) {
      HWND child = GetDlgItem(dialog, control.id);
      ASSERT_NE(child, nullptr) << control.id;
      wchar_t cls[64] = {};
      GetClassNameW(child, cls, 64);
      EXPECT_EQ(_wcsicmp(cls, control.cls), 0) << Narrow(cls);
    }
    DestroyWindow(dialog);
  }
}

// Tab goes through every dialog's controls as they are read: bands top to
// bottom, left to right within a band; labels are not stops and pair with the
// field after them.
TEST_F(DialogTemplates, EveryDialogsTabOrderIsItsReadingOrder) {
  std::vector<int> ids;
  EnumResourceNamesW(Module(), RT_DIALOG, &CollectDialog, reinterpret_cast<LONG_PTR>(&ids));
  EXPECT_GE(ids.size(), 10u);
  for (int id : ids) {
    SCOPED_TRACE("template " + std::to_string(id));
    HWND dialog = CreateHidden(id);
    ASSERT_NE(dialog, nullptr) << "error " << GetLastError();
    std::vector<Block> stops;
    std::vector<int> tabOrder;
    std::vector<int> controlIds;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
      if (!(GetWindowLongPtrW(child, GWL_STYLE) & WS_TABSTOP)) continue;
      // A combo box is read where its closed box is; its window may reach down over its drop-down.
      HWND seen = child;
      wchar_t cls[32] = {};
      GetClassNameW(child, cls, 32);
      if (_wcsicmp(cls, WC_COMBOBOXEXW) == 0)
        seen = reinterpret_cast<HWND>(SendMessageW(child, CBEM_GETCOMBOCONTROL, 0, 0));
      RECT box{};
      GetWindowRect(seen, &box);
      MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&box), 2);
      const int index = static_cast<int>(stops.size());
      stops.push_back(Block{box, {index}});
      tabOrder.push_back(index);
      controlIds.push_back(GetDlgCtrlID(child));
    }
    std::vector<int> seen = ReadingOrder(StackColumns(stops));
    for (int& index : seen) index = controlIds[static_cast<std::size_t>(index)];
    for (int& index : tabOrder) index = controlIds[static_cast<std::size_t>(index)];
    EXPECT_EQ(tabOrder, seen) << "control ids in Tab order, then as read";
    DestroyWindow(dialog);
  }
}

}  // namespace
