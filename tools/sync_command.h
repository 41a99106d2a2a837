#pragma once
#include <string>
#include <vector>

namespace datatool {

// amicord-data sync DIR --url URL --user NAME --password-stdin [--book URL]
int Sync(const std::vector<std::wstring>& args);

}  // namespace datatool
