#include "app/find_bar.h"

#include <commctrl.h>

#include <algorithm>
#include <chrono>
#include <utility>

#include "app/data_session.h"
#include "app/group_tabs.h"

FindBar::FindBar(DataSession& session, GroupTabs& tabs)
    : session_(session), tabs_(tabs), changes_(session.Changes().Subscribe([this](const Change& change) {
        if (field_ && (change.kind == Change::Kind::Reloaded || change.kind == Change::Kind::Imported))
          PrepareTexts(session_.GetEngine().contacts);
      })) {}

void FindBar::Attach(HWND field) {
  field_ = field;
  if (field_) ::SendMessageW(field_, EM_SETCUEBANNER, FALSE, reinterpret_cast<LPARAM>(kCueText));
  PrepareTexts(session_.GetEngine().contacts);
}

void FindBar::OnTextChanged() {
  if (!field_) return;
  const int length = ::GetWindowTextLengthW(field_);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  text.resize(static_cast<std::size_t>(::GetWindowTextW(field_, text.data(), length + 1)));
  tabs_.SetFilter(text);
}

void FindBar::Focus() {
  if (!field_) return;
  ::SetFocus(field_);
  ::SendMessageW(field_, EM_SETSEL, 0, -1);
}

void FindBar::Clear() {
  if (field_ && ::GetWindowTextLengthW(field_) > 0) ::SetWindowTextW(field_, L"");
}

bool FindBar::OpenFirst() {
  DlgGroupEntry* panel = tabs_.SelectedPanel();
  return panel && panel->OpenRow(0);
}

FindBar::~FindBar() = default;

void FindBar::PrepareTexts(boost::shared_ptr<const Contacts> contacts) {
  preparing_ = std::move(contacts);
  nextToPrepare_ = 0;
  scheduler_ = &framework::UiScheduler();
  task_ = framework::ScheduledTask::After(*scheduler_, std::chrono::milliseconds(0), [this] { PrepareBatch(); });
}

void FindBar::PrepareBatch() {
  if (!preparing_) return;
  const std::vector<Contacts::Item>& items = preparing_->items;
  const std::size_t end = std::min(items.size(), nextToPrepare_ + kBatch);
  const auto started = std::chrono::steady_clock::now();
  while (nextToPrepare_ < end) {
    if (const Contacts::Item& contact = items[nextToPrepare_]) contact->Texts();
    ++nextToPrepare_;
    if (std::chrono::steady_clock::now() - started >= kBatchTime) break;
  }
  if (nextToPrepare_ < items.size())
    task_ = framework::ScheduledTask::After(*scheduler_, std::chrono::milliseconds(0), [this] { PrepareBatch(); });
  else
    preparing_.reset();
}
