#include <windows.h>

#include <vector>

#include "engines/os_cache.h"

namespace tamsel::os {

std::uint64_t DataCacheBytes(int level) {
  DWORD length = 0;
  GetLogicalProcessorInformation(nullptr, &length);
  std::vector<SYSTEM_LOGICAL_PROCESSOR_INFORMATION> records(
      length / sizeof(SYSTEM_LOGICAL_PROCESSOR_INFORMATION) + 1);
  length = static_cast<DWORD>(records.size() * sizeof(records[0]));
  if (!GetLogicalProcessorInformation(records.data(), &length)) return 0;
  for (std::size_t i = 0; i < length / sizeof(records[0]); ++i) {
    const auto& record = records[i];
    if (record.Relationship == RelationCache && record.Cache.Level == level &&
        (record.Cache.Type == CacheData || record.Cache.Type == CacheUnified)) {
      return record.Cache.Size;
    }
  }
  return 0;
}

}  // namespace tamsel::os
