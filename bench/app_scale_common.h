#pragma once
// What the program's large-list benchmarks share: timing, counting windows,
// the probe of the window's thread, memory, and the message pump.
#include "base/windows_api.h"

#include <atomic>
#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

namespace scale {

using Clock = std::chrono::steady_clock;

double MillisecondsSince(Clock::time_point start);
int ThreadWindows();
double PeakWorkingSetMb();
void Pump();
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
