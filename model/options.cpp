#include "model/options.h"

#include "model/platform.h"

void Options::SetAutoStart(bool enable) {
  autoStart = enable;
  platform::SetAutoStartEntry(enable);
}
