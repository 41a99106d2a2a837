// Prints what large contact lists cost the program: start-up to the first
// painted list, windows and GUI objects, painting a screen of rows, a tick
// until shown and until saved, sorting by each order. A third of the contacts
// have photos of 3000 x 2000 pixels, JPEG and PNG, as users pick them from a
// camera.
// Figures only; nothing is asserted. It uses the settings folder beside its
// own executable, which it builds in a folder of its own.
//
//   app_scale_bench.exe [contacts...]     default: 100 1000 10000
//   AMICORD_BENCH_SELECTION=1: only the selection's figures (Ctrl+A, contacted and deleting half), for each size
//   AMICORD_BENCH_PARTS=1: only the parts of start-up and the tick with long-time data (2 KB notes, 50 journal
//   entries a contact): the window's thread busy around it, the snapshot the save takes on it
#include "base/windows_api.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/app_scale_common.h"
#include "framework/ui_startup.h"
#include "model/platform.h"

int main(int argc, char** argv) {
  using namespace scale;
  UiStartup startup;
  std::vector<int> sizes;
  for (int i = 1; i < argc; ++i) sizes.push_back(std::atoi(argv[i]));
  if (sizes.empty()) sizes = {100, 1000, 10000};
  {
    const std::filesystem::path photos = std::filesystem::path(platform::ExecutablePath()).parent_path() / L"photos";
    const auto writing = Clock::now();
    const std::vector<std::wstring> paths = WritePhotos(photos, 6);
    std::printf("%zu photos of 3000 x 2000 written in %.0f ms\n", paths.size(), MillisecondsSince(writing));
    for (int contacts : sizes) {
      if (std::getenv("AMICORD_BENCH_SELECTION")) {
        MeasureSelection(contacts, contacts / 2);
        continue;
      }
      if (std::getenv("AMICORD_BENCH_PARTS")) {
        MeasureParts(contacts);
        MeasureLongTimeTick(contacts);
        continue;
      }
      Measure(contacts, 20, paths);
      MeasureGroupDeletion(contacts);
      MeasureFinding(contacts);
    }
    if (!sizes.empty() && !std::getenv("AMICORD_BENCH_PARTS") && !std::getenv("AMICORD_BENCH_SELECTION"))
      MeasureSelection(sizes.back(), sizes.back() / 2);
    std::filesystem::remove_all(photos);
  }
  return 0;
}
