#include "PathsCommand.h"

#include "AnalysisRequest.h"
#include "AnswerModel.h"
#include "AnswerPrinter.h"
#include "EngineOutcome.h"
#include "GraphNames.h"

#include <kyanalysis/KyAnalysisEnums.h>
#include <kyanalysis/KyAnalysisErrorEnum.h>
#include <kyanalysis/KyAnalysisKeys.h>
#include <kyplatform/KyNode.h>

#include <CLI/CLI.hpp>

#include <ostream>

namespace kyanalyze {

CLI::App* PathsCommand::attach(CLI::App& app) {
  CLI::App* command =
      app.add_subcommand("paths", "List the cheapest paths from one node to another");
  graph_.attach(*command)->required();
  command->add_option("--from", from_, "Name of the start node")->required();
  command->add_option("--to", to_, "Name of the finish node")->required();
  command->add_option("-k", limit_, "How many paths, cheapest first (1 to 100000)")
      ->capture_default_str()
      ->check(CLI::Range(1, 100000));
  command->add_flag("--json", json_, "Print JSON instead of text");
  service_.attach(*command);
  return command;
}

int PathsCommand::run(std::ostream& out, std::ostream& err) {
  std::string error;
  GraphSource source;
  if (!graph_.source(source, error)) {
    err << "kyanalyze: " << error << '\n';
    return kExitUsage;
  }
  GraphInput graph;
  if (!readGraph(source, graph, error)) {
    err << "kyanalyze: " << error << '\n';
    return kExitFailure;
  }
  AnalysisRequest request;
  if (!request.start(OPERATION_SORTED_PATHS, std::move(graph), error) ||
      (graph_.undirected && !request.undirected(error))) {
    err << "kyanalyze: " << error << '\n';
    return kExitUsage;
  }
  const GraphNames names(request.graph());
  KyNode* start = names.find(from_, error);
  KyNode* finish = start != nullptr ? names.find(to_, error) : nullptr;
  if (finish == nullptr) {
    err << "kyanalyze: " << (start == nullptr ? "--from: " : "--to: ") << error << '\n';
    return kExitUsage;
  }
  KyServiceInputData& input = request.input();
  input.storeReference(&request.graph(), KyAnalysisKey::sortedPaths::graphStartNode, start);
  input.storeReference(&request.graph(), KyAnalysisKey::sortedPaths::graphFinishNode, finish);

  KyServiceOutputData output;
  const int outcome = service_.answer(input, output, err);
  if (outcome < 0)
    return kExitFailure;
  if (outcome != ANALYSIS_ERROR_NONE) {
    err << "kyanalyze: sortedPaths: " << engineFailure(outcome, input, output, names) << '\n';
    return outcome == ANALYSIS_ERROR_INVALID_OPTION ? kExitUsage : kExitFailure;
  }
  const AnsweredGraph answered(request.graph(), request.originalEdges());
  const Json paths = pathsJson(output, start, answered, limit_);
  if (json_) {
    out << Json{{"from", nodeJson(start)}, {"to", nodeJson(finish)}, {"paths", paths}}.dump(2)
        << '\n';
    return kExitOk;
  }
  if (paths.empty())
    out << "no path from " << names.node(start) << " to " << names.node(finish) << '\n';
  for (const Json& path : paths)
    out << pathText(path, names) << '\n';
  return kExitOk;
}

} // namespace kyanalyze
