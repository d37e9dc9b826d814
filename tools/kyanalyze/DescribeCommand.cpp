#include "DescribeCommand.h"

#include "AnalysisWords.h"

#include <kyformats/KyAnalysisCatalog.h>

#include <kyanalysis/KyAnalysisEnums.h>

#include <CLI/CLI.hpp>

#include <ostream>

namespace kyanalyze {

std::string describeJson() { return KyAnalysisCatalog::json(OPERATION_NONE) + '\n'; }

CLI::App* DescribeCommand::attach(CLI::App& app) {
  CLI::App* command =
      app.add_subcommand("describe", "List the analyses with their options and results");
  analysisOption_ = command->add_option(
      "analysis", analysis_, "Analysis word (e.g. shortestPaths) to narrow the listing to");
  command->add_flag("--json", json_, "Print JSON instead of text");
  return command;
}

int DescribeCommand::run(std::ostream& out, std::ostream& err) {
  int code = OPERATION_NONE;
  if (analysisOption_->count() > 0) {
    code = analysisCode(analysis_);
    if (code == OPERATION_NONE) {
      reportUnknownAnalysis(err, analysis_);
      return kExitUsage;
    }
  }
  if (json_)
    out << KyAnalysisCatalog::json(code) << '\n';
  else
    KyAnalysisCatalog::writeText(out, code);
  return kExitOk;
}

} // namespace kyanalyze
