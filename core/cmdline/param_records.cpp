#include "core/cmdline/param_records.h"

namespace tamsel {

std::int32_t SyntaxMode = 0;
bool DoubleDashLongNames = true;
bool RecordHistory = false;

TParamStatusArray ParamList;
TParamRecArray ParamHistory;
std::string KnownOptions;
std::string HelpForms;
TPredefinedResultsRec PredefinedResults;

}  // namespace tamsel
