// Windows test runner: the process starts what the program's entry point
// starts, through the same object.
#include <gtest/gtest.h>

#include "framework/ui_startup.h"

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  UiStartup startup;
  return RUN_ALL_TESTS();
}
