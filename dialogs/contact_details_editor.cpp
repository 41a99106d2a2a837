#include "dialogs/contact_details_editor.h"

#include <commctrl.h>

#include <algorithm>
#include <utility>

#include "dialogs/dialog_support.h"
#include "model/important_dates.h"
#include "model/reach.h"
#include "resource.h"

namespace dialogs {
namespace {

constexpr const wchar_t* kMonths[] = {L"January", L"February", L"March",     L"April",   L"May",      L"June",
                                      L"July",    L"August",   L"September", L"October", L"November", L"December"};
constexpr const wchar_t* kKindNames[] = {L"Phone", L"E-mail", L"Date"};

std::wstring Text(HWND control) {
  const int length = ::GetWindowTextLengthW(control);
  if (length <= 0) return {};
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  const int copied = ::GetWindowTextW(control, &text[0], length + 1);
  text.resize(static_cast<std::size_t>(std::max(copied, 0)));
  return text;
}

// Blanks around a typed value are not part of it.
std::wstring Trimmed(const std::wstring& text) {
  const auto first = text.find_first_not_of(L" \t");
  if (first == std::wstring::npos) return {};
  const auto last = text.find_last_not_of(L" \t");
  return text.substr(first, last - first + 1);
}

void Show(HWND control, bool shown) { ::ShowWindow(control, shown ? SW_SHOWNA : SW_HIDE); }

void SetColumn(HWND list, int row, int column, const std::wstring& text) {
  LVITEMW item{};
  item.iSubItem = column;
  item.pszText = const_cast<wchar_t*>(text.c_str());
  ::SendMessageW(list, LVM_SETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

}  // namespace

const wchar_t* MonthName(std::int32_t month) { return month >= 1 && month <= 12 ? kMonths[month - 1] : L""; }

std::wstring DateText(const ImportantDate& date) {
  std::wstring text = std::to_wstring(date.day) + L' ' + MonthName(date.month);
  if (date.year != 0) text += L' ' + std::to_wstring(date.year);
  return text;
}

void ContactDetailsEditor::Attach(HWND dialog, ContactDetails details) {
  dialog_ = dialog;
  details_ = std::move(details);
  list_ = ::GetDlgItem(dialog, IDC_DETAILS);
  kindList_ = ::GetDlgItem(dialog, IDC_DETAIL_KIND);
  labelBox_ = ::GetDlgItem(dialog, IDC_DETAIL_LABEL);
  value_ = ::GetDlgItem(dialog, IDC_DETAIL_VALUE);
  valueLabel_ = ::GetDlgItem(dialog, IDC_DETAIL_VALUE_LABEL);
  day_ = ::GetDlgItem(dialog, IDC_DETAIL_DAY);
  month_ = ::GetDlgItem(dialog, IDC_DETAIL_MONTH);
  year_ = ::GetDlgItem(dialog, IDC_DETAIL_YEAR);

  const auto limit = static_cast<WPARAM>(ContactDetails::kMaxTextLength);
  ::SendMessageW(value_, EM_LIMITTEXT, limit, 0);
  ::SendMessageW(labelBox_, CB_LIMITTEXT, limit, 0);
  ::SendMessageW(day_, EM_LIMITTEXT, 2, 0);
  ::SendMessageW(year_, EM_LIMITTEXT, 4, 0);
  for (const wchar_t* name : kKindNames) ::SendMessageW(kindList_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
  for (const wchar_t* name : kMonths) ::SendMessageW(month_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));

  ::SendMessageW(list_, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
  // The columns share the list's width as it is at this DPI.
  RECT client{};
  ::GetClientRect(list_, &client);
  const int width = client.right - client.left - ::GetSystemMetrics(SM_CXVSCROLL);
  const struct {
    const wchar_t* title;
    int share;
  } columns[] = {{L"Kind", 18}, {L"Label", 27}, {L"Number, address or date", 55}};
  for (int i = 0; i < 3; ++i) {
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.pszText = const_cast<wchar_t*>(columns[i].title);
    column.cx = std::max(0, width * columns[i].share / 100);
    ::SendMessageW(list_, LVM_INSERTCOLUMNW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&column));
  }
  FillList();
  SetKind(Kind::Phone, false);
}

int ContactDetailsEditor::EntryCount() const {
  return static_cast<int>(details_.phones.size() + details_.emails.size() + details_.dates.size());
}

std::size_t ContactDetailsEditor::CountOf(Kind kind) const {
  switch (kind) {
    case Kind::Phone:
      return details_.phones.size();
    case Kind::Email:
      return details_.emails.size();
    case Kind::Date:
      break;
  }
  return details_.dates.size();
}

ContactDetailsEditor::Entry ContactDetailsEditor::EntryAt(int index) const {
  Entry entry;
  auto at = static_cast<std::size_t>(std::max(index, 0));
  if (at < details_.phones.size()) {
    entry.kind = Kind::Phone;
    entry.label = details_.phones[at].label;
    entry.value = details_.phones[at].number;
    return entry;
  }
  at -= details_.phones.size();
  if (at < details_.emails.size()) {
    entry.kind = Kind::Email;
    entry.label = details_.emails[at].label;
    entry.value = details_.emails[at].address;
    return entry;
  }
  at -= details_.emails.size();
  entry.kind = Kind::Date;
  if (at < details_.dates.size()) {
    entry.date = details_.dates[at];
    entry.label = entry.date.label;
  }
  return entry;
}

void ContactDetailsEditor::FillList() {
  filling_ = true;
  ::SendMessageW(list_, LVM_DELETEALLITEMS, 0, 0);
  for (int row = 0; row < EntryCount(); ++row) {
    const Entry entry = EntryAt(row);
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = row;
    item.pszText = const_cast<wchar_t*>(kKindNames[static_cast<int>(entry.kind)]);
    const auto added = static_cast<int>(::SendMessageW(list_, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
    if (added < 0) continue;
    SetColumn(list_, added, 1, entry.label);
    SetColumn(list_, added, 2, entry.kind == Kind::Date ? DateText(entry.date) : entry.value);
  }
  filling_ = false;
}

void ContactDetailsEditor::SetKind(Kind kind, bool keepLabel) {
  const std::wstring typed = Text(labelBox_);
  kind_ = kind;
  ::SendMessageW(kindList_, CB_SETCURSEL, static_cast<WPARAM>(kind), 0);
  const bool date = kind == Kind::Date;
  ::SetWindowTextW(valueLabel_, kind == Kind::Phone ? L"Number:" : L"Address:");
  for (int id : {IDC_DETAIL_VALUE_LABEL, IDC_DETAIL_VALUE}) Show(::GetDlgItem(dialog_, id), !date);
  for (int id : {IDC_DETAIL_DAY_LABEL, IDC_DETAIL_DAY, IDC_DETAIL_MONTH_LABEL, IDC_DETAIL_MONTH, IDC_DETAIL_YEAR_LABEL,
                 IDC_DETAIL_YEAR, IDC_DETAIL_HINT})
    Show(::GetDlgItem(dialog_, id), date);
  FillLabels();
  if (keepLabel) {
    ::SetWindowTextW(labelBox_, typed.c_str());
  } else if (kind == Kind::Date) {
    const bool hasBirthday = std::any_of(details_.dates.begin(), details_.dates.end(),
                                         [](const ImportantDate& d) { return d.label == kBirthdayLabel; });
    ::SetWindowTextW(labelBox_, hasBirthday ? kAnniversaryLabel : kBirthdayLabel);
  } else {
    ::SetWindowTextW(labelBox_, kind == Kind::Phone ? kReachLabels[0] : kReachLabels[1]);
  }
}

void ContactDetailsEditor::FillLabels() {
  ::SendMessageW(labelBox_, CB_RESETCONTENT, 0, 0);
  if (kind_ == Kind::Date) {
    for (const wchar_t* label : {kBirthdayLabel, kAnniversaryLabel})
      ::SendMessageW(labelBox_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(label));
  } else {
    for (const wchar_t* label : kReachLabels)
      ::SendMessageW(labelBox_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(label));
  }
}

void ContactDetailsEditor::ShowEntry(const Entry& entry) {
  SetKind(entry.kind, false);
  ::SetWindowTextW(labelBox_, entry.label.c_str());
  if (entry.kind == Kind::Date) {
    ::SetWindowTextW(day_, std::to_wstring(entry.date.day).c_str());
    ::SendMessageW(month_, CB_SETCURSEL, static_cast<WPARAM>(entry.date.month - 1), 0);
    ::SetWindowTextW(year_, entry.date.year != 0 ? std::to_wstring(entry.date.year).c_str() : L"");
  } else {
    ::SetWindowTextW(value_, entry.value.c_str());
  }
}

void ContactDetailsEditor::ClearFields() {
  ::SetWindowTextW(value_, L"");
  ::SetWindowTextW(day_, L"");
  ::SendMessageW(month_, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
  ::SetWindowTextW(year_, L"");
  SetKind(kind_, false);
}

bool ContactDetailsEditor::FieldsEmpty() const {
  if (kind_ != Kind::Date) return Trimmed(Text(value_)).empty();
  return Trimmed(Text(day_)).empty() && Trimmed(Text(year_)).empty() &&
         ::SendMessageW(month_, CB_GETCURSEL, 0, 0) == CB_ERR;
}

void ContactDetailsEditor::Error(const wchar_t* text) const { ShowInputError(dialog_, text); }

bool ContactDetailsEditor::ReadFields(Entry& entry, int replacing) const {
  entry = Entry{};
  entry.kind = kind_;
  entry.label = Trimmed(Text(labelBox_));
  const bool replacesSameKind = replacing >= 0 && EntryAt(replacing).kind == kind_;
  if (!replacesSameKind && CountOf(kind_) >= ContactDetails::kMaxItems) {
    Error(L"Please, remove an entry of this kind first: a contact keeps at most 100 of each.");
    return false;
  }
  switch (kind_) {
    case Kind::Phone:
      entry.value = Trimmed(Text(value_));
      if (PhoneDigits(entry.value).empty()) {
        Error(L"Please, specify a valid phone number.");
        ::SetFocus(value_);
        return false;
      }
      return true;
    case Kind::Email:
      entry.value = Trimmed(Text(value_));
      if (!IsValidEmailAddress(entry.value)) {
        Error(L"Please, specify a valid e-mail address.");
        ::SetFocus(value_);
        return false;
      }
      return true;
    case Kind::Date:
      break;
  }
  const std::wstring dayText = Trimmed(Text(day_));
  const std::wstring yearText = Trimmed(Text(year_));
  const auto month = static_cast<std::int32_t>(::SendMessageW(month_, CB_GETCURSEL, 0, 0)) + 1;
  entry.date.day = dayText.empty() ? 0 : ReadNumber(dayText);
  entry.date.month = month;
  entry.date.year = yearText.empty() ? 0 : ReadNumber(yearText);
  if (entry.date.day <= 0 || month <= 0 || (!yearText.empty() && entry.date.year <= 0) ||
      !IsValidDate(entry.date.day, entry.date.month, entry.date.year)) {
    Error(L"Please, specify a valid date.");
    ::SetFocus(day_);
    return false;
  }
  if (entry.label.empty()) {
    Error(L"Please, specify what the date is, for example birthday.");
    ::SetFocus(labelBox_);
    return false;
  }
  entry.date.label = entry.label;
  if (entry.label == kBirthdayLabel) {
    for (std::size_t i = 0; i < details_.dates.size(); ++i) {
      const int row = static_cast<int>(details_.phones.size() + details_.emails.size() + i);
      if (details_.dates[i].label == kBirthdayLabel && row != replacing) {
        Error(L"Please, keep one birthday: this contact has one already.");
        return false;
      }
    }
  }
  return true;
}

int ContactDetailsEditor::Selected() const {
  return static_cast<int>(::SendMessageW(list_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

bool ContactDetailsEditor::SameAsSelected(const Entry& entry) const {
  const int selected = Selected();
  if (selected < 0) return false;
  const Entry shown = EntryAt(selected);
  if (shown.kind != entry.kind || shown.label != entry.label) return false;
  return entry.kind == Kind::Date ? shown.date == entry.date : shown.value == entry.value;
}

// The entry takes the place of the one at `replacing` (-1: goes last among its kind).
void ContactDetailsEditor::Put(const Entry& entry, int replacing) {
  if (replacing >= 0) {
    auto at = static_cast<std::size_t>(replacing);
    const Kind old = EntryAt(replacing).kind;
    if (old == entry.kind) {
      if (at < details_.phones.size()) {
        details_.phones[at] = Phone{entry.label, entry.value};
      } else if ((at -= details_.phones.size()) < details_.emails.size()) {
        details_.emails[at] = EmailAddress{entry.label, entry.value};
      } else {
        details_.dates[at - details_.emails.size()] = entry.date;
      }
      FillList();
      return;
    }
    Erase(replacing);
  }
  switch (entry.kind) {
    case Kind::Phone:
      details_.phones.push_back(Phone{entry.label, entry.value});
      break;
    case Kind::Email:
      details_.emails.push_back(EmailAddress{entry.label, entry.value});
      break;
    case Kind::Date:
      details_.dates.push_back(entry.date);
      break;
  }
  FillList();
}

void ContactDetailsEditor::Add() {
  Entry entry;
  if (!ReadFields(entry, -1)) return;
  Put(entry, -1);
  ClearFields();
  ::SetFocus(kind_ == Kind::Date ? day_ : value_);
}

void ContactDetailsEditor::Change() {
  const int selected = Selected();
  if (selected < 0) {
    Add();
    return;
  }
  Entry entry;
  if (!ReadFields(entry, selected)) return;
  Put(entry, selected);
  ClearFields();
}

void ContactDetailsEditor::Remove() {
  const int selected = Selected();
  if (selected < 0) return;
  Erase(selected);
  FillList();
  ClearFields();
  ::SetFocus(list_);
}

void ContactDetailsEditor::Erase(int index) {
  auto at = static_cast<std::size_t>(index);
  if (at < details_.phones.size()) {
    details_.phones.erase(details_.phones.begin() + static_cast<std::ptrdiff_t>(at));
  } else if ((at -= details_.phones.size()) < details_.emails.size()) {
    details_.emails.erase(details_.emails.begin() + static_cast<std::ptrdiff_t>(at));
  } else if ((at -= details_.emails.size()) < details_.dates.size()) {
    details_.dates.erase(details_.dates.begin() + static_cast<std::ptrdiff_t>(at));
  }
}

bool ContactDetailsEditor::TakePending() {
  if (FieldsEmpty()) return true;
  const int selected = Selected();
  Entry entry;
  if (!ReadFields(entry, selected)) return false;
  if (SameAsSelected(entry)) return true;
  Put(entry, selected);
  ClearFields();
  return true;
}

bool ContactDetailsEditor::OnCommand(UINT code, int id) {
  switch (id) {
    case IDC_DETAIL_KIND:
      if (code == CBN_SELCHANGE) {
        const auto chosen = static_cast<int>(::SendMessageW(kindList_, CB_GETCURSEL, 0, 0));
        if (chosen >= 0 && chosen <= 2) SetKind(static_cast<Kind>(chosen), false);
      }
      return true;
    case IDC_DETAIL_ADD:
      if (code == BN_CLICKED) Add();
      return true;
    case IDC_DETAIL_CHANGE:
      if (code == BN_CLICKED) Change();
      return true;
    case IDC_DETAIL_REMOVE:
      if (code == BN_CLICKED) Remove();
      return true;
    case IDC_DETAIL_LABEL:
    case IDC_DETAIL_VALUE:
    case IDC_DETAIL_DAY:
    case IDC_DETAIL_MONTH:
    case IDC_DETAIL_YEAR:
      return true;
    default:
      return false;
  }
}

bool ContactDetailsEditor::OnNotify(const NMHDR& header) {
  if (header.hwndFrom != list_) return false;
  if (header.code == LVN_ITEMCHANGED && !filling_) {
    const auto& changed = reinterpret_cast<const NMLISTVIEW&>(header);
    if ((changed.uChanged & LVIF_STATE) && (changed.uNewState & LVIS_SELECTED) && changed.iItem >= 0)
      ShowEntry(EntryAt(changed.iItem));
  } else if (header.code == LVN_KEYDOWN) {
    if (reinterpret_cast<const NMLVKEYDOWN&>(header).wVKey == VK_DELETE) Remove();
  }
  return true;
}

}  // namespace dialogs
