// A fresh engine per test, loaded with a command line of our choosing.
#pragma once
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/cmdline/core_startup.h"
#include "core/cmdline/option_lookup.h"
#include "core/cmdline/param_records.h"
#include "core/cmdline/syntax_validation.h"
#include "core/cmdline/core_startup_testing.h"

namespace tamsel {

class CmdlineTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetCommandLineEngine(); }
  void TearDown() override { ResetCommandLineEngine(); }

  static void Load(const std::vector<std::string>& arguments, std::int32_t mode = 2) {
    InitParamList(arguments);
    SyntaxMode = mode;
  }
  static std::vector<std::int32_t> Statuses() {
    std::vector<std::int32_t> statuses;
    for (const TParamStatusRec& argument : ParamList) statuses.push_back(argument.Status);
    return statuses;
  }
};

}  // namespace tamsel
