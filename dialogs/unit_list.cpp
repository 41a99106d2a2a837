#include "dialogs/unit_list.h"

#include <cwctype>

namespace dialogs {

namespace {

// Cuts text to fit an entry buffer without splitting a surrogate pair.
std::wstring FitEntryText(const std::wstring& text) {
  constexpr size_t kRoom = kEntryTextChars - 1;
  if (text.size() <= kRoom) return text;
  size_t length = kRoom;
  if (IS_HIGH_SURROGATE(text[length - 1])) --length;
  return text.substr(0, length);
}

}  // namespace

int AppendEntry(HWND comboEx, const std::wstring& text, LPARAM data) {
  wchar_t buffer[kEntryTextChars] = {};
  const std::wstring fitted = FitEntryText(text);
  fitted.copy(buffer, fitted.size());
  COMBOBOXEXITEMW item{};
  item.mask = CBEIF_TEXT | CBEIF_LPARAM;
  item.iItem = EntryCount(comboEx);
  item.pszText = buffer;
  item.lParam = data;
  return static_cast<int>(SendMessageW(comboEx, CBEM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
}

int EntryCount(HWND comboEx) {
  const LRESULT count = SendMessageW(comboEx, CB_GETCOUNT, 0, 0);
  return count < 0 ? 0 : static_cast<int>(count);
}

std::wstring EntryText(HWND comboEx, int index) {
  wchar_t buffer[kEntryTextChars] = {};
  COMBOBOXEXITEMW item{};
  item.mask = CBEIF_TEXT;
  item.iItem = index;
  item.pszText = buffer;
  item.cchTextMax = static_cast<int>(kEntryTextChars);
  if (!SendMessageW(comboEx, CBEM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item))) return {};
  buffer[kEntryTextChars - 1] = L'\0';
  return item.pszText ? std::wstring(item.pszText) : std::wstring();
}

bool SelectedData(HWND comboEx, LPARAM& data) {
  const LRESULT selected = SendMessageW(comboEx, CB_GETCURSEL, 0, 0);
  if (selected < 0) return false;
  COMBOBOXEXITEMW item{};
  item.mask = CBEIF_LPARAM;
  item.iItem = selected;
  if (!SendMessageW(comboEx, CBEM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item))) return false;
  data = item.lParam;
  return true;
}

void SelectEntry(HWND comboEx, int index) { SendMessageW(comboEx, CB_SETCURSEL, static_cast<WPARAM>(index), 0); }

void FillUnitList(HWND comboEx) {
  AppendEntry(comboEx, L"Days", Days);
  AppendEntry(comboEx, L"Weeks", Weeks);
  AppendEntry(comboEx, L"Months", Months);
}

void SelectUnit(HWND comboEx, std::int32_t unit) {
  SelectEntry(comboEx, unit >= 0 && unit < EntryCount(comboEx) ? unit : -1);
}

bool UnitTypeAhead::Install(HWND comboEx) {
  comboEx_ = comboEx;
  HWND inner = reinterpret_cast<HWND>(::SendMessageW(comboEx, CBEM_GETCOMBOCONTROL, 0, 0));
  if (!inner) {
    POINT corner{1, 1};
    inner = ::ChildWindowFromPoint(comboEx, corner);
  }
  return inner && inner != comboEx && SubclassWindow(inner);
}

void UnitTypeAhead::OnChar(UINT character, UINT, UINT) {
  const wchar_t typed = static_cast<wchar_t>(std::towupper(static_cast<wint_t>(character)));
  const int count = EntryCount(comboEx_);
  for (int index = 0; index < count; ++index) {
    const std::wstring text = EntryText(comboEx_, index);
    if (text.empty()) continue;
    if (static_cast<wchar_t>(std::towupper(static_cast<wint_t>(text[0]))) == typed) {
      // CB_SETCURSEL sends no selection notification.
      SelectEntry(comboEx_, index);
      break;
    }
  }
  SetMsgHandled(false);
}

}  // namespace dialogs
