#include "platform/com/guid.h"

#include <cstdio>

std::string GUID::ToString() const {
  char buffer[39];
  std::snprintf(buffer, sizeof buffer, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                static_cast<unsigned>(Data1), static_cast<unsigned>(Data2),
                static_cast<unsigned>(Data3), Data4[0], Data4[1], Data4[2], Data4[3], Data4[4],
                Data4[5], Data4[6], Data4[7]);
  return buffer;
}
