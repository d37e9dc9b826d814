#include "PathsCommand.h"

#include "AnalysisRequest.h"
#include "AnalysisWords.h"
#include "AnswerModel.h"
#include "AnswerPrinter.h"
#include "EngineOutcome.h"
#include "GraphNames.h"

#include <kyanalysis/KyAnalysisEnums.h>
#include <kyanalysis/KyAnalysisKeys.h>
#include <kyengine/KyLocalAnalysisService.h>
#include <kyplatform/KyNode.h>

#include <CLI/CLI.hpp>

#include <ostream>

namespace kyanalyze {

CLI::App* PathsCommand::attach(CLI::App& app) {
  CLI::App* command =
      app.add_subcommand("paths", "List the cheapest paths from one node to another");
  command->add_option("--graph", graph_, "Graph: an edge list, or an analysis document (.xml)")
      ->required();
  command->add_option("--from", from_, "Name of the start node")->required();
  command->add_option("--to", to_, "Name of the finish node")->required();
  command->add_option("-k", limit_, "How many paths, cheapest first (1 to 100000)")
      ->capture_default_str()
      ->check(CLI::Range(1, 100000));
  command->add_flag("--json", json_, "Print JSON instead of text");
  return command;
}

int PathsCommand::run(std::ostream& out, std::ostream& err) {
  AnalysisRequest request;
  if (!request.readGraph(OPERATION_SORTED_PATHS, graph_, err))
    return kExitFailure;
  const NodeFinder finder(request.graph());
  std::string error;
  KyNode* start = finder.find(from_, error);
  KyNode* finish = start != nullptr ? finder.find(to_, error) : nullptr;
  if (finish == nullptr) {
    err << "kyanalyze: " << (start == nullptr ? "--from: " : "--to: ") << printable(error) << '\n';
    return kExitUsage;
  }
  KyServiceInputData& input = request.input();
  input.setValue(&request.graph(), KyAnalysisKey::sortedPaths::graphStartNode, start, 0, 0);
  input.setValue(&request.graph(), KyAnalysisKey::sortedPaths::graphFinishNode, finish, 0, 0);

  KyServiceOutputData output;
  const int outcome = KyLocalAnalysisService().run(&input, &output);
  if (outcome != ANALYSIS_ERROR_NONE) {
    err << "kyanalyze: sortedPaths: " << engineOutcome(outcome) << '\n';
    return kExitFailure;
  }
  const Json paths = pathsJson(output, start, limit_);
  if (json_) {
    out << Json{{"from", from_}, {"to", to_}, {"paths", paths}}.dump(2) << '\n';
    return kExitOk;
  }
  if (paths.empty())
    out << "no path from " << from_ << " to " << to_ << '\n';
  for (const Json& path : paths)
    out << pathText(path) << '\n';
  return kExitOk;
}

} // namespace kyanalyze
