#pragma once
// What the program's large-list benchmarks share: timing, counting windows,
// the probe of the window's thread, memory, and the message pump.
#include "base/windows_api.h"

#include <atomic>
#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <vector>

class DataSession;
class DlgCorvane;

namespace scale {

using Clock = std::chrono::steady_clock;

double MillisecondsSince(Clock::time_point start);
int ThreadWindows();
double PeakWorkingSetMb();
void Pump();
// Pumps until the session has no save waiting or running, at most 10 s after `since`.
void WaitForSave(const DataSession& session, Clock::time_point since);
// Pumps for this long, so that what the window posted to itself runs.
void PumpFor(double milliseconds);
// Destroys the window and empties the settings folder the measurement used.
void CloseAndClear(std::unique_ptr<DlgCorvane>& window, const std::filesystem::path& folder);
// The settings folder beside the executable, emptied.
std::filesystem::path FreshSettingsFolder();
double Median(std::vector<double> values);
// The values one after the other, each with one decimal.
void PrintAll(const std::vector<double>& values);

// How long the window's thread keeps a message sent from another thread
// waiting, as a user's click waits: the longest such wait while it runs.
class BusyProbe {
 public:
  explicit BusyProbe(HWND window) : window_(window), thread_([this] { Run(); }) {}
  ~BusyProbe() { Stop(); }
  double Stop();

 private:
  void Run();
  HWND window_;
  std::atomic<bool> stop_{false};
  double longestMs_ = 0;
  std::thread thread_;
};

// The measurements, each printing its figures.
std::vector<std::wstring> WritePhotos(const std::filesystem::path& folder, int count);
void Measure(int contacts, int groups, const std::vector<std::wstring>& photos);
void MeasureGroupDeletion(int contacts);
void MeasureParts(int contacts);
void MeasureLongTimeTick(int contacts);
void MeasureFinding(int contacts);
void MeasureSelection(int contacts, int deleted);

}  // namespace scale
