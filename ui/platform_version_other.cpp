#include "platform_version.h"

std::optional<unsigned long> QueryPlatformId() {
  return std::nullopt;
}
