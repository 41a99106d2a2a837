#include "app/data_session.h"

#include <cstdio>

namespace {

constexpr wchar_t kMessageCaption[] = L"Amicord";

DataSession* liveSession = nullptr;
// A save's message box runs a message loop, where another handler may fail.
bool reportingException = false;

}  // namespace

DataSession::DataSession()
    : outerSession_(liveSession), outerReporter_(framework::SetExceptionReporter(&ReportHandlerException)) {
  liveSession = this;
}

DataSession::~DataSession() {
  liveSession = outerSession_;
  framework::SetExceptionReporter(outerReporter_);
}

void DataSession::ReportHandlerException(UINT message, const char* what) {
  char line[300];
  std::snprintf(line, sizeof line, "Amicord: a handler of message 0x%04X failed: %s\n", message, what);
  ::OutputDebugStringA(line);
  if (!liveSession || reportingException) return;
  reportingException = true;
  liveSession->SaveAll();
  reportingException = false;
}

void DataSession::Load() { loadReport_ = engine_.Load(); }

void DataSession::SendChangesTo(HWND window) {
  engine_.groups->notifyWindow = window;
  engine_.contacts->notifyWindow = window;
  for (const Contacts::Item& contact : *engine_.contacts)
    if (contact) contact->notifyWindow = window;
}

void DataSession::ReportLoadProblems() {
  if (!loadReport_.AnyDamaged()) return;
  std::wstring text = L"Some of your data could not be read completely:\n";
  for (std::size_t i = 0; i < loadReport_.damagedFiles.size(); ++i) {
    text += L"\n\u2022 " + loadReport_.damagedFiles[i];
    if (i < loadReport_.keptCopies.size() && !loadReport_.keptCopies[i].empty())
      text += L"\n   The file as it was is kept as " + loadReport_.keptCopies[i];
  }
  text += L"\n\nAmicord shows everything it could read before the damage and will save that from now on.";
  loadReport_ = Engine::LoadReport{};
  ::MessageBoxW(window_, text.c_str(), kMessageCaption, MB_OK | MB_ICONWARNING);
}

bool DataSession::SaveAll() {
  ++saveCount_;
  std::wstring reason;
  if (engine_.Save(&reason)) {
    saveFailureReported_ = false;
    return true;
  }
  if (!saveFailureReported_) {
    saveFailureReported_ = true;
    const std::wstring text = L"Amicord could not save your data.\n\n" + reason +
                              L"\n\nNothing is lost yet: your changes are kept while Amicord runs, and it "
                              L"tries again at your next change and when it closes.";
    ::MessageBoxW(window_ && ::IsWindow(window_) ? window_ : nullptr, text.c_str(), kMessageCaption,
                  MB_OK | MB_ICONWARNING);
  }
  return false;
}

std::wstring DataSession::DataFolder() const {
  const std::wstring& path = engine_.optionsPath;
  const std::size_t separator = path.find_last_of(L"\\/");
  return separator == std::wstring::npos ? std::wstring() : path.substr(0, separator);
}
