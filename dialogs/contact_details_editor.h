#pragma once
// The part of the contact dialog that edits the phones, e-mail addresses and
// dates: one list of them all and one row of fields below it, where an entry
// is typed, or shown to be changed when it is selected in the list. It keeps
// its own copy of the details; the dialog reads them back after Save.
#include "base/windows_api.h"

#include <cstddef>
#include <cstdint>
#include <string>

#include "model/contact_details.h"

namespace dialogs {

// "January" ... "December"; empty outside 1..12.
const wchar_t* MonthName(std::int32_t month);
// "12 May 1980", or "12 May" without a year.
std::wstring DateText(const ImportantDate& date);

class ContactDetailsEditor {
 public:
  enum class Kind { Phone, Email, Date };

  // Takes over the editing controls of the dialog (IDC_DETAIL_*) and shows details.
  void Attach(HWND dialog, ContactDetails details);
  // The dialog's commands and notifications for the editing controls; false for
  // any other control's.
  bool OnCommand(UINT code, int id);
  bool OnNotify(const NMHDR& header);

  // Adds what the fields hold that no Add or Change took yet, as Save does
  // before it closes; false, with the message shown, when that is not valid.
  bool TakePending();
  const ContactDetails& Details() const { return details_; }

  // The number of entries in the list and the kind the fields edit now, for tests.
  int EntryCount() const;
  Kind CurrentKind() const { return kind_; }

 private:
  struct Entry {
    Kind kind = Kind::Phone;
    std::wstring label;
    std::wstring value;  // number or address
    ImportantDate date;
  };

  void FillList();
  void SetKind(Kind kind, bool keepLabel);
  void FillLabels();
  void ShowEntry(const Entry& entry);
  void ClearFields();
  // What the fields hold; false, with the message shown, when it is not valid.
  bool ReadFields(Entry& entry, int replacing) const;
  bool FieldsEmpty() const;
  bool SameAsSelected(const Entry& entry) const;
  void Add();
  void Change();
  void Remove();
  void Erase(int index);
  void Put(const Entry& entry, int replacing);
  Entry EntryAt(int index) const;
  int Selected() const;
  std::size_t CountOf(Kind kind) const;
  void Error(const wchar_t* text) const;

  HWND dialog_ = nullptr;  // not owned, nor are the controls below
  HWND list_ = nullptr;
  HWND kindList_ = nullptr;
  HWND labelBox_ = nullptr;
  HWND value_ = nullptr;
  HWND valueLabel_ = nullptr;
  HWND day_ = nullptr;
  HWND month_ = nullptr;
  HWND year_ = nullptr;
  ContactDetails details_;
  Kind kind_ = Kind::Phone;
  bool filling_ = false;
};

}  // namespace dialogs
