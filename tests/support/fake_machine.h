// Presents the programs this process starts with a made-up processor
// topology, laid out as the system publishes its own (see ThisMachine in
// cpuinfo/os_cpu.h), for as long as the object lives.
#pragma once
#include <filesystem>
#include <string>

#include "tests/support/temp_folder.h"

namespace tamsel::test {

class TFakeMachine {
 public:
  // cores physical cores with threadsPerCore logical processors each; with
  // no cores, a machine whose cores cannot be counted.
  TFakeMachine(int cores, int threadsPerCore);
  ~TFakeMachine();
  TFakeMachine(const TFakeMachine&) = delete;
  TFakeMachine& operator=(const TFakeMachine&) = delete;

 private:
  static void Describe(const std::filesystem::path& root, int cores, int threadsPerCore);
  TTempFolder root_;
  std::string earlier_;
};

}  // namespace tamsel::test
