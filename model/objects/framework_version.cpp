#include "model/objects/framework_version.h"

void GetFrameworkVersion(uint32_t& high, uint32_t& low) {
  high = 0x00040002;
  low = 0x00010008;
}

const char* GetBuildDate() { return "Jun 29 2001"; }

const char* GetBuildTime() { return "21:42:28"; }
