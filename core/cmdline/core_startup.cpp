#include "core/cmdline/core_startup.h"

#include "core/cmdline/number_parse.h"
#include "core/cmdline/param_records.h"
#include "core/cmdline/syntax_validation.h"
#include "core/console/os_process.h"
#include "core/console/startup.h"
#include "core/cmdline/core_startup_testing.h"

namespace tamsel {

void InitParamList(const std::vector<std::string>& arguments) {
  ParamList.assign(arguments.size(), TParamStatusRec{});
  for (std::size_t k = 0; k < arguments.size(); ++k) ParamList[k].Text = arguments[k];
  ParamHistory.clear();
  ResetStatistics(CustomSyntaxRecord, kCustomSyntaxRecordName);
  ResetStatistics(DefaultSyntaxRecord, kDefaultSyntaxRecordName);
}

void InitParamList() { InitParamList(os::ProcessArguments()); }

void CoreStartup(int argc, const char* const* argv) {
  StartConsole(argc, argv);
  InitParamList();
}

void ResetCommandLineEngine() {
  SyntaxMode = 0;
  DoubleDashLongNames = true;
  RecordHistory = false;
  KnownOptions.clear();
  HelpForms.clear();
  LastValueAdjusted = false;
  PredefinedResults = TPredefinedResultsRec{};
  InitParamList({});
}

}  // namespace tamsel
