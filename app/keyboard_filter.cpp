#include "app/keyboard_filter.h"

#include <cwchar>

#include "app/commands.h"
#include "app/find_bar.h"
#include "app/group_tabs.h"
#include "lists/dlg_group_entry.h"

namespace {

bool Pressed(int key) { return (::GetKeyState(key) & 0x8000) != 0; }

// Whether a modifier must be held, must not be, or does not matter.
enum class Held { Any, Yes, No };

bool Fits(Held wanted, bool pressed) { return wanted == Held::Any || (wanted == Held::Yes) == pressed; }

// Where the focus must be for a key to count.
enum class Place { Anywhere, FindField, List };

struct Letter {
  wchar_t character;
  void (Commands::*command)();
};

constexpr Letter kLetters[] = {
    {L'C', &Commands::AddContact},
    {L'G', &Commands::AddGroup},
    {L'O', &Commands::ChangeOptions},
};

const Letter* FindLetter(WPARAM character) {
  for (const Letter& letter : kLetters)
    if (letter.character == character) return &letter;
  return nullptr;
}

}  // namespace

struct KeyboardFilter::Key {
  WPARAM key;
  Held control;
  Held alt;
  Place place;
  bool (KeyboardFilter::*action)(MSG& message, DlgGroupEntry* panel);
};

KeyboardFilter::KeyboardFilter(const CWindow& window, FindBar& find, GroupTabs& tabs, Commands& commands)
    : window_(window), find_(find), tabs_(tabs), commands_(commands) {}

bool KeyboardFilter::PreTranslateMessage(MSG& message) {
  if (message.message == WM_CHAR) {
    Readdress(message);
    return false;
  }
  // The first entry that fits acts.
  static constexpr Key kKeys[] = {
      {'F', Held::Yes, Held::No, Place::Anywhere, &KeyboardFilter::FocusFind},
      {VK_TAB, Held::Yes, Held::No, Place::Anywhere, &KeyboardFilter::SwitchTab},
      {VK_TAB, Held::No, Held::No, Place::Anywhere, &KeyboardFilter::MoveFocus},
      {VK_F1, Held::Any, Held::Any, Place::Anywhere, &KeyboardFilter::Help},
      {VK_ESCAPE, Held::Any, Held::Any, Place::FindField, &KeyboardFilter::ClearFind},
      {VK_RETURN, Held::Any, Held::Any, Place::FindField, &KeyboardFilter::OpenFirstFound},
      {VK_RETURN, Held::Yes, Held::No, Place::List, &KeyboardFilter::Tick},
      {VK_RETURN, Held::No, Held::No, Place::List, &KeyboardFilter::Open},
      {VK_DELETE, Held::No, Held::No, Place::List, &KeyboardFilter::Delete},
  };
  HWND window = window_.m_hWnd;
  if (message.message != WM_KEYDOWN || !window || !message.hwnd) return false;
  if (message.hwnd != window && !::IsChild(window, message.hwnd)) return false;
  const bool inField = message.hwnd == find_.Field();
  DlgGroupEntry* panel = inField ? nullptr : tabs_.PanelWithList(message.hwnd);
  const bool control = Pressed(VK_CONTROL);
  const bool alt = Pressed(VK_MENU);
  for (const Key& entry : kKeys) {
    if (entry.key != message.wParam || !Fits(entry.control, control) || !Fits(entry.alt, alt)) continue;
    if ((entry.place == Place::FindField && !inField) || (entry.place == Place::List && !panel)) continue;
    return (this->*entry.action)(message, panel);
  }
  return false;
}

bool KeyboardFilter::Readdress(MSG& message) const {
  HWND window = window_.m_hWnd;
  if (message.message != WM_CHAR || !window || message.hwnd == window) return false;
  if (!FindLetter(message.wParam)) return false;
  if (!message.hwnd || !::IsChild(window, message.hwnd)) return false;
  wchar_t className[64] = {};
  ::GetClassNameW(message.hwnd, className, 64);
  for (const wchar_t* typing : {L"Edit", L"RichEdit", L"ComboBox", L"ComboLBox"})
    if (_wcsnicmp(className, typing, wcslen(typing)) == 0) return false;
  message.hwnd = window;
  return true;
}

void KeyboardFilter::OnChar(wchar_t character) {
  if (const Letter* letter = FindLetter(character)) (commands_.*(letter->command))();
}

bool KeyboardFilter::FocusFind(MSG&, DlgGroupEntry*) {
  find_.Focus();
  return true;
}

bool KeyboardFilter::SwitchTab(MSG&, DlgGroupEntry*) {
  tabs_.SelectNext(Pressed(VK_SHIFT) ? -1 : 1);
  return true;
}

// Through the controls in the order they are seen: the find field, the shown
// panel's sort button and list, the buttons.
bool KeyboardFilter::MoveFocus(MSG& message, DlgGroupEntry*) {
  return ::IsDialogMessageW(window_.m_hWnd, &message) != FALSE;
}

bool KeyboardFilter::Help(MSG&, DlgGroupEntry*) {
  commands_.OpenHelp();
  return true;
}

bool KeyboardFilter::ClearFind(MSG&, DlgGroupEntry*) {
  find_.Clear();
  return true;
}

bool KeyboardFilter::OpenFirstFound(MSG&, DlgGroupEntry*) {
  find_.OpenFirst();
  return true;
}

bool KeyboardFilter::Open(MSG&, DlgGroupEntry* panel) {
  panel->Open();
  return true;
}

bool KeyboardFilter::Tick(MSG&, DlgGroupEntry* panel) {
  panel->Tick();
  return true;
}

bool KeyboardFilter::Delete(MSG&, DlgGroupEntry* panel) {
  panel->Delete();
  return true;
}
