// Plays the user for the installer tests, from outside the program under test:
//
//   dialog_answerer answer yes|no PROGRAM [ARGUMENTS...]
//       starts PROGRAM, presses the default button of every page of its wizard
//       and answers every message box with Yes or No, until its windows are
//       gone; prints each message box's text and which button was its default.
//   dialog_answerer run COMMAND-LINE      runs the command line exactly as given
//       (an installer's /D= must not be quoted) and exits with its exit code
//   dialog_answerer wait-quiet            waits until only Wine's own services
//       are left running, such as after an uninstaller handed over to its copy
//   dialog_answerer wait-window TITLE     waits until a top-level window TITLE exists
//   dialog_answerer close-window TITLE    asks that window to close (WM_CLOSE)
//
// Exit code 0 when done (for run: the program's), 3 when the programs did not
// behave within the time allowed, 2 for usage errors.
#include <windows.h>
#include <tlhelp32.h>

#include <cstdio>
#include <set>
#include <string>
#include <vector>

namespace {

constexpr DWORD kPollMs = 100;
constexpr DWORD kPatienceMs = 60000;
// The uninstaller hands over to a copy of itself, so its windows may vanish for
// a moment before the copy shows its own.
constexpr DWORD kQuietMsBeforeDone = 3000;

void PrintUtf8(const std::wstring& text) {
  const int bytes = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                        nullptr);
  std::string out(static_cast<std::size_t>(bytes), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), out.data(), bytes, nullptr, nullptr);
  std::fwrite(out.data(), 1, out.size(), stdout);
  std::fputc('\n', stdout);
  std::fflush(stdout);
}

std::wstring WindowText(HWND window) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return text;
}

std::wstring ClassName(HWND window) {
  wchar_t name[64] = {};
  GetClassNameW(window, name, 64);
  return name;
}

// The installer's and uninstaller's wizards ("Amicord Setup", and after it the
// page's name) and message boxes, not Amicord's own window (a dialog too),
// which the installer's last page may start.
BOOL CALLBACK CollectWizardWindow(HWND window, LPARAM found) {
  if (!IsWindowVisible(window) || ClassName(window) != L"#32770") return TRUE;
  const std::wstring title = WindowText(window);
  if (title.rfind(L"Amicord Setup", 0) == 0 || title.rfind(L"Amicord Uninstall", 0) == 0)
    reinterpret_cast<std::vector<HWND>*>(found)->push_back(window);
  return TRUE;
}

BOOL CALLBACK LongestStatic(HWND child, LPARAM longest) {
  auto* text = reinterpret_cast<std::wstring*>(longest);
  if (_wcsicmp(ClassName(child).c_str(), L"Static") == 0) {
    std::wstring candidate = WindowText(child);
    if (candidate.size() > text->size()) *text = candidate;
  }
  return TRUE;
}

bool IsMessageBox(HWND window) { return GetDlgItem(window, IDYES) != nullptr && GetDlgItem(window, IDNO) != nullptr; }

// The default button carries BS_DEFPUSHBUTTON (Wine's message box keeps no
// default id for DM_GETDEFID to report).
std::wstring DefaultButtonName(HWND box) {
  const auto isDefault = [box](int id) {
    return (GetWindowLongW(GetDlgItem(box, id), GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
  };
  if (isDefault(IDYES)) return L"yes";
  if (isDefault(IDNO)) return L"no";
  return L"none";
}

bool Start(std::wstring commandLine, HANDLE* process) {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started{};
  if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &started)) {
    std::fprintf(stderr, "dialog_answerer: cannot start the program (error %lu)\n", GetLastError());
    return false;
  }
  CloseHandle(started.hThread);
  if (process)
    *process = started.hProcess;
  else
    CloseHandle(started.hProcess);
  return true;
}

int Run(const wchar_t* commandLine) {
  HANDLE process = nullptr;
  if (!Start(commandLine, &process)) return 3;
  DWORD code = 3;
  if (WaitForSingleObject(process, kPatienceMs) == WAIT_OBJECT_0) GetExitCodeProcess(process, &code);
  CloseHandle(process);
  return static_cast<int>(code);
}

// Processes Wine keeps running for every prefix.
bool IsWineService(const wchar_t* name) {
  static const wchar_t* const kServices[] = {L"services.exe", L"winedevice.exe", L"plugplay.exe", L"svchost.exe",
                                             L"explorer.exe", L"rpcss.exe",      L"conhost.exe",  L"start.exe",
                                             L"wineboot.exe", L"tabtip.exe"};
  for (const wchar_t* service : kServices)
    if (_wcsicmp(name, service) == 0) return true;
  return false;
}

std::wstring OtherPrograms() {
  std::wstring others;
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return L"?";
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry))
    if (entry.th32ProcessID != GetCurrentProcessId() && !IsWineService(entry.szExeFile))
      others += std::wstring(others.empty() ? L"" : L" ") + entry.szExeFile;
  CloseHandle(snapshot);
  return others;
}

int WaitQuiet() {
  const DWORD start = GetTickCount();
  std::wstring others;
  while (!(others = OtherPrograms()).empty()) {
    if (GetTickCount() - start > kPatienceMs) {
      PrintUtf8(L"still running: " + others);
      return 3;
    }
    Sleep(kPollMs);
  }
  return 0;
}

std::wstring QuoteArgument(const std::wstring& argument) {
  if (!argument.empty() && argument.find_first_of(L" \t\"") == std::wstring::npos) return argument;
  std::wstring quoted = L"\"";
  for (wchar_t c : argument) {
    if (c == L'"') quoted += L'\\';
    quoted += c;
  }
  return quoted + L"\"";
}

int Answer(bool yes, int argc, wchar_t** argv) {
  std::wstring commandLine;
  for (int i = 0; i < argc; ++i) commandLine += (i ? L" " : L"") + QuoteArgument(argv[i]);
  HANDLE started = nullptr;
  if (!Start(commandLine, &started)) return 3;
  // Given up: end what it started, so that no wizard is left waiting for a click.
  const auto giveUp = [started](const std::vector<HWND>& windows) {
    TerminateProcess(started, 3);
    for (HWND window : windows) {
      DWORD id = 0;
      GetWindowThreadProcessId(window, &id);
      if (HANDLE process = OpenProcess(PROCESS_TERMINATE, FALSE, id)) {
        TerminateProcess(process, 3);
        CloseHandle(process);
      }
    }
    CloseHandle(started);
    return 3;
  };

  std::set<HWND> answered;
  DWORD lastSeen = 0;
  bool seen = false;
  const DWORD start = GetTickCount();
  for (;;) {
    const DWORD now = GetTickCount();
    std::vector<HWND> windows;
    EnumWindows(&CollectWizardWindow, reinterpret_cast<LPARAM>(&windows));
    if (!windows.empty()) {
      seen = true;
      lastSeen = now;
    } else if (seen && now - lastSeen >= kQuietMsBeforeDone) {
      CloseHandle(started);
      return 0;
    }
    if (now - start > kPatienceMs) {
      std::fprintf(stderr, "dialog_answerer: the program's windows were still there after %lu ms\n", kPatienceMs);
      return giveUp(windows);
    }
    for (HWND window : windows) {
      if (IsMessageBox(window)) {
        if (!answered.insert(window).second) continue;
        std::wstring text;
        EnumChildWindows(window, &LongestStatic, reinterpret_cast<LPARAM>(&text));
        PrintUtf8(L"message: " + text);
        PrintUtf8(L"default: " + DefaultButtonName(window));
        const WORD button = yes ? IDYES : IDNO;
        PostMessageW(window, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(window, button)));
        continue;
      }
      // A wizard page: its Next / Uninstall / Finish button has the id IDOK and
      // is disabled while the work is under way.
      HWND next = GetDlgItem(window, IDOK);
      if (next && IsWindowVisible(next) && IsWindowEnabled(next))
        PostMessageW(window, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(next));
    }
    Sleep(kPollMs);
  }
}

HWND WaitForWindow(const wchar_t* title) {
  const DWORD start = GetTickCount();
  while (GetTickCount() - start < kPatienceMs) {
    if (HWND window = FindWindowW(nullptr, title)) return window;
    Sleep(kPollMs);
  }
  return nullptr;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const std::wstring mode = argc > 1 ? argv[1] : L"";
  if (mode == L"answer" && argc > 3) {
    const std::wstring choice = argv[2];
    if (choice != L"yes" && choice != L"no") return 2;
    return Answer(choice == L"yes", argc - 3, argv + 3);
  }
  if (mode == L"run" && argc == 3) return Run(argv[2]);
  if (mode == L"wait-quiet" && argc == 2) return WaitQuiet();
  if (mode == L"wait-window" && argc == 3) return WaitForWindow(argv[2]) ? 0 : 3;
  if (mode == L"close-window" && argc == 3) {
    HWND window = FindWindowW(nullptr, argv[2]);
    return window && PostMessageW(window, WM_CLOSE, 0, 0) ? 0 : 3;
  }
  std::fprintf(stderr,
               "usage: dialog_answerer answer yes|no PROGRAM [ARGS...] | run COMMAND-LINE | wait-quiet |\n"
               "       wait-window TITLE | close-window TITLE\n");
  return 2;
}
