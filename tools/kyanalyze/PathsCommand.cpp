#include "PathsCommand.h"

#include <kyformats/KyAnalysisRequest.h>
#include <kyformats/KyAnswerCode.h>
#include <kyformats/KyPathListing.h>

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
  KyGraphReadOptions options;
  if (!graph_.readOptions(options, error)) {
    err << "kyanalyze: " << error << '\n';
    return kExitUsage;
  }
  KyGraphData graph;
  if (!graph_.read(options, graph, error)) {
    err << "kyanalyze: " << error << '\n';
    return kExitFailure;
  }
  KyAnalysisRequest request;
  if (!request.start(OPERATION_SORTED_PATHS, std::move(graph), error) ||
      (graph_.undirected && !request.undirected(error))) {
    err << "kyanalyze: " << error << '\n';
    return kExitUsage;
  }
  GraphOptions::writeNotes(err, request.notes());
  const KyGraphNames& names = request.names();
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
    err << "kyanalyze: sortedPaths: " << KyAnswerCode::failure(outcome, input, output, names)
        << '\n';
    return outcome == ANALYSIS_ERROR_INVALID_OPTION ? kExitUsage : kExitFailure;
  }
  const KyPathListing listing(request, output, limit_);
  if (json_)
    out << listing.json() << '\n';
  else
    listing.writeText(out);
  return kExitOk;
}

} // namespace kyanalyze
