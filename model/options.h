#pragma once
#include <cstdint>

class Options {
 public:
  virtual ~Options() = default;

  // Stores the choice first, then makes the Run entry follow it; failures are silent.
  void SetAutoStart(bool enable);

  bool autoStart = true;
  std::int32_t warnPercent = 75;
  std::int32_t warnDays = 2;
  bool showLastContacted = false;
  // -1 in any of the four: no placement stored.
  std::int32_t windowX = -1;
  std::int32_t windowY = -1;
  std::int32_t windowWidth = -1;
  std::int32_t windowHeight = -1;
  bool minimizeToTray = true;
};
