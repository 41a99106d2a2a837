#pragma once
#include "base/windows_api.h"

// Runs Amicord on the calling thread until its exit operation; returns the
// process exit code (non-zero when the main window could not be created).
int RunAmicord();
