#include <gtest/gtest.h>

#include "base/windows_api.h"
#include <commctrl.h>

#include <string>
#include <vector>

#include "dialogs/dlg_contact.h"
#include "dialogs/dlg_upcoming.h"
#include "model/platform.h"
#include "tests/win/dialogs/dialog_driver.h"

namespace {

constexpr wchar_t kCaption[] = L"Add Contact";
constexpr wchar_t kEmailMessage[] = L"Please, specify a valid e-mail address.";
constexpr wchar_t kDateMessage[] = L"Please, specify a valid date.";
constexpr wchar_t kPhoneMessage[] = L"Please, specify a valid phone number.";
constexpr wchar_t kBirthdayMessage[] = L"Please, keep one birthday: this contact has one already.";
using Messages = std::vector<std::wstring>;
using Kind = dialogs::ContactDetailsEditor::Kind;

void ChooseKind(HWND dialog, Kind kind) {
  HWND kinds = GetDlgItem(dialog, IDC_DETAIL_KIND);
  SendMessageW(kinds, CB_SETCURSEL, static_cast<WPARAM>(kind), 0);
  SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_DETAIL_KIND, CBN_SELCHANGE), reinterpret_cast<LPARAM>(kinds));
}

// Types one entry into the fields: a number or address, or day/month/year.
void Type(HWND dialog, Kind kind, const wchar_t* label, const wchar_t* value, int month = 0,
          const wchar_t* year = L"") {
  ChooseKind(dialog, kind);
  SetDlgItemTextW(dialog, IDC_DETAIL_LABEL, label);
  if (kind == Kind::Date) {
    SetDlgItemTextW(dialog, IDC_DETAIL_DAY, value);
    SendDlgItemMessageW(dialog, IDC_DETAIL_MONTH, CB_SETCURSEL, static_cast<WPARAM>(month - 1), 0);
    SetDlgItemTextW(dialog, IDC_DETAIL_YEAR, year);
  } else {
    SetDlgItemTextW(dialog, IDC_DETAIL_VALUE, value);
  }
}

int ListCount(HWND dialog) {
  return static_cast<int>(SendDlgItemMessageW(dialog, IDC_DETAILS, LVM_GETITEMCOUNT, 0, 0));
}

std::wstring Cell(HWND dialog, int row, int column) {
  wchar_t text[256] = {};
  LVITEMW item{};
  item.iSubItem = column;
  item.pszText = text;
  item.cchTextMax = 256;
  SendDlgItemMessageW(dialog, IDC_DETAILS, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
  return text;
}

void SelectRow(HWND dialog, int row) {
  LVITEMW state{};
  state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  state.state = LVIS_SELECTED | LVIS_FOCUSED;
  SendDlgItemMessageW(dialog, IDC_DETAILS, LVM_SETITEMSTATE, static_cast<WPARAM>(row),
                      reinterpret_cast<LPARAM>(&state));
}

class ContactDetailsEditorTest : public ::testing::Test {
 protected:
  void SetUp() override { groups->Add(L"Friends", L"", Weeks, 3); }
  void Prepare(DlgContact& dialog, ContactDetails details) {
    dialog.groups = groups;
    dialog.contacts = contacts;
    dialog.details = std::move(details);
  }

  boost::shared_ptr<Groups> groups{new Groups};
  boost::shared_ptr<Contacts> contacts{new Contacts};
  test::DialogDriver driver;
};

TEST_F(ContactDetailsEditorTest, EntriesAreShownChangedAddedAndRemovedAndWhatHasNoFieldStays) {
  ContactDetails details;
  details.phones = {{L"mobile", L"+49 170 1234567"}};
  details.emails = {{L"home", L"anna@example.org"}};
  details.dates = {{L"birthday", 5, 12, 1980}};
  details.kept = {{L"", L"URL:https://example.org/anna"}};
  DlgContact dialog(L"Ann", L"", Weeks, 3, 1700000000, L"", 1);
  Prepare(dialog, details);
  driver.Expect(kCaption, [this](HWND window) {
    ASSERT_EQ(ListCount(window), 3);
    EXPECT_EQ(Cell(window, 0, 0), L"Phone");
    EXPECT_EQ(Cell(window, 0, 2), L"+49 170 1234567");
    EXPECT_EQ(Cell(window, 1, 0), L"E-mail");
    EXPECT_EQ(Cell(window, 2, 1), L"birthday");
    EXPECT_EQ(Cell(window, 2, 2), L"12 May 1980");
    // Selected, an entry is shown in the fields to be changed.
    SelectRow(window, 2);
    EXPECT_EQ(test::Text(window, IDC_DETAIL_DAY), L"12");
    EXPECT_EQ(test::Text(window, IDC_DETAIL_YEAR), L"1980");
    EXPECT_TRUE(IsWindowVisible(GetDlgItem(window, IDC_DETAIL_MONTH)));
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(window, IDC_DETAIL_VALUE)));
    SelectRow(window, 0);
    EXPECT_EQ(test::Text(window, IDC_DETAIL_VALUE), L"+49 170 1234567");
    SetDlgItemTextW(window, IDC_DETAIL_VALUE, L"+49 170 7654321");
    test::Click(window, IDC_DETAIL_CHANGE);
    // A date without a year, typed on a label of the user's own.
    Type(window, Kind::Date, L"name day", L"29", 2);
    test::Click(window, IDC_DETAIL_ADD);
    Type(window, Kind::Email, L"work", L"ann@work.example");
    test::Click(window, IDC_DETAIL_ADD);
    EXPECT_TRUE(driver.TakeMessages().empty());
    ASSERT_EQ(ListCount(window), 5);
    EXPECT_EQ(Cell(window, 4, 2), L"29 February");
    SelectRow(window, 1);  // anna@example.org goes
    test::Click(window, IDC_DETAIL_REMOVE);
    EXPECT_EQ(ListCount(window), 4);
    // Typed and not added: Save keeps it.
    Type(window, Kind::Phone, L"my own", L" 030 12 ");
    test::Click(window, IDOK);
  });
  ASSERT_EQ(dialog.DoModal(nullptr), IDOK);
  EXPECT_EQ(dialog.details.phones, (std::vector<Phone>{{L"mobile", L"+49 170 7654321"}, {L"my own", L"030 12"}}));
  EXPECT_EQ(dialog.details.emails, (std::vector<EmailAddress>{{L"work", L"ann@work.example"}}));
  EXPECT_EQ(dialog.details.dates, (std::vector<ImportantDate>{{L"birthday", 5, 12, 1980}, {L"name day", 2, 29, 0}}));
  EXPECT_EQ(dialog.details.kept, details.kept);
}

TEST_F(ContactDetailsEditorTest, EachEntryIsCheckedAsItIsAddedAndOnSave) {
  DlgContact dialog(L"Ann", L"", Weeks, 3, 1700000000, L"", 1);
  ContactDetails birthday;
  birthday.dates = {{L"birthday", 1, 3, 0}};
  Prepare(dialog, birthday);
  const struct {
    Kind kind;
    const wchar_t* label;
    const wchar_t* value;
    int month;
    const wchar_t* year;
    const wchar_t* message;  // null: added
  } cases[] = {
      {Kind::Email, L"home", L"anna@", 0, L"", kEmailMessage},
      {Kind::Email, L"home", L"anna example.org", 0, L"", kEmailMessage},
      {Kind::Email, L"home", L"anna@example.org", 0, L"", nullptr},
      {Kind::Phone, L"mobile", L"call me", 0, L"", kPhoneMessage},
      {Kind::Phone, L"mobile", L"+1 (555) 0100", 0, L"", nullptr},
      {Kind::Date, L"anniversary", L"31", 4, L"", kDateMessage},
      {Kind::Date, L"anniversary", L"29", 2, L"2023", kDateMessage},
      {Kind::Date, L"anniversary", L"0", 6, L"", kDateMessage},
      {Kind::Date, L"anniversary", L"12", 0, L"", kDateMessage},
      {Kind::Date, L"anniversary", L"29", 2, L"2024", nullptr},
      {Kind::Date, L"birthday", L"4", 5, L"", kBirthdayMessage},
  };
  driver.Expect(kCaption, [&](HWND window) {
    int entries = ListCount(window);
    for (const auto& c : cases) {
      SCOPED_TRACE(c.value);
      Type(window, c.kind, c.label, c.value, c.month, c.year);
      test::Click(window, IDC_DETAIL_ADD);
      if (c.message) {
        EXPECT_EQ(driver.TakeMessages(), Messages{c.message});
        EXPECT_EQ(driver.messageCaptions().back(), L"Error!");
      } else {
        EXPECT_TRUE(driver.TakeMessages().empty());
        ++entries;
      }
      EXPECT_EQ(ListCount(window), entries);
    }
    // Save checks what is typed and not added, and stays open on a fault.
    Type(window, Kind::Email, L"work", L"@example.org");
    test::Click(window, IDOK);
    EXPECT_EQ(driver.TakeMessages(), Messages{kEmailMessage});
    SetDlgItemTextW(window, IDC_DETAIL_VALUE, L"");
    test::Click(window, IDOK);
  });
  ASSERT_EQ(dialog.DoModal(nullptr), IDOK);
  EXPECT_EQ(dialog.details.emails.size(), 1u);
  EXPECT_EQ(dialog.details.phones.size(), 1u);
  ASSERT_EQ(dialog.details.dates.size(), 2u);
  EXPECT_EQ(dialog.details.dates[1], (ImportantDate{L"anniversary", 2, 29, 2024}));
}

TEST_F(ContactDetailsEditorTest, TheFieldsFollowTheNotesInReadingOrderAndOfferTheLabels) {
  DlgContact dialog(L"Ann", L"", Weeks, 3, 1700000000, L"", 1);
  Prepare(dialog, {});
  driver.Expect(kCaption, [](HWND window) {
    const std::vector<int> phoneOrder = {IDC_DETAILS,    IDC_DETAIL_KIND,   IDC_DETAIL_LABEL,  IDC_DETAIL_VALUE,
                                         IDC_DETAIL_ADD, IDC_DETAIL_CHANGE, IDC_DETAIL_REMOVE, IDOK};
    const std::vector<int> dateOrder = {
        IDC_DETAILS,     IDC_DETAIL_KIND, IDC_DETAIL_LABEL,  IDC_DETAIL_DAY,    IDC_DETAIL_MONTH,
        IDC_DETAIL_YEAR, IDC_DETAIL_ADD,  IDC_DETAIL_CHANGE, IDC_DETAIL_REMOVE, IDOK};
    for (const auto& [kind, order] : {std::pair{Kind::Phone, phoneOrder}, std::pair{Kind::Date, dateOrder}}) {
      ChooseKind(window, kind);
      HWND at = GetDlgItem(window, IDC_NOTES);
      for (int id : order) {
        at = GetNextDlgTabItem(window, at, FALSE);
        EXPECT_EQ(GetDlgCtrlID(at), id);
      }
    }
    HWND labels = GetDlgItem(window, IDC_DETAIL_LABEL);
    ASSERT_EQ(SendMessageW(labels, CB_GETCOUNT, 0, 0), 2);  // the dates' labels
    ChooseKind(window, Kind::Email);
    ASSERT_EQ(SendMessageW(labels, CB_GETCOUNT, 0, 0), 4);
    EXPECT_EQ(test::Text(window, IDC_DETAIL_VALUE_LABEL), L"Address:");
    EXPECT_EQ(test::Text(window, IDC_DETAIL_LABEL), L"home");
    // The notes kept their place and size.
    RECT notes{0, 0, 341, 57};
    MapDialogRect(window, &notes);
    RECT shown{};
    GetWindowRect(GetDlgItem(window, IDC_NOTES), &shown);
    EXPECT_EQ(shown.right - shown.left, notes.right);
    EXPECT_EQ(shown.bottom - shown.top, notes.bottom);
    test::Click(window, IDCANCEL);
  });
  EXPECT_EQ(dialog.DoModal(nullptr), IDCANCEL);
}

}  // namespace

namespace {

TEST(DlgUpcoming, ARowGivesDateWeekdayHowSoonNameLabelAndAge) {
  const struct {
    UpcomingDate date;
    std::vector<std::wstring> columns;
  } rows[] = {
      {{1, L"Anna Berg", {L"birthday", 12, 10, 1979}, {2026, 12, 10}, 1, 47},
       {L"10 December", L"Thursday", L"Tomorrow", L"Anna Berg", L"Birthday", L"47"}},
      {{2, L"Bert Costa", {L"name day", 2, 29, 0}, {2027, 2, 28}, 81, 0},
       {L"28 February", L"Sunday", L"In 81 days", L"Bert Costa", L"Name day", L""}},
      {{3, L"Cara Lind", {L"anniversary", 1, 1, 2000}, {2027, 1, 1}, 0, 27},
       {L"1 January", L"Friday", L"Today", L"Cara Lind", L"Anniversary", L"27"}},
  };
  for (const auto& row : rows) EXPECT_EQ(DlgUpcoming::Columns(row.date), row.columns) << row.date.name;
  // Twelve months ahead, the day a year on left out: it is today's again.
  EXPECT_EQ(DlgUpcoming::DaysAhead({2026, 12, 9}), 364);
  EXPECT_EQ(DlgUpcoming::DaysAhead({2027, 12, 9}), 365);
}

}  // namespace
