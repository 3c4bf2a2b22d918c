#pragma once

#include <cstdint>

// The version of the framework, read as the four numbers 4, 2, 1, 8: the
// PCL XL stream header's version comment and the job notification use it.
void GetFrameworkVersion(uint32_t& high, uint32_t& low);
// The build stamp that goes with the version.
const char* GetBuildDate();
const char* GetBuildTime();
