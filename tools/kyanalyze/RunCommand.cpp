#include "RunCommand.h"

#include "AnalysisWords.h"
#include "Text.h"

#include <kyformats/KyAnalysisRequest.h>
#include <kyformats/KyAnswer.h>
#include <kyformats/KyAnswerCode.h>

#include <kyanalysis/KyAnalysisErrorEnum.h>
#include <kyanalysis/KyAnalysisOperation.h>

#include <CLI/CLI.hpp>

#include <fstream>
#include <ostream>

namespace kyanalyze {
namespace {

/// How many paths `run sortedPaths` shows; `paths -k` shows more.
constexpr int kRunPathLimit = 10;

} // namespace

CLI::App* RunCommand::attach(CLI::App& app) {
  CLI::App* command = app.add_subcommand("run", "Run an analysis on the local engine");
  CLI::Option* analysis =
      command->add_option("analysis", analysis_, "Analysis word (e.g. shortestPaths)");
  CLI::Option* graph = graph_.attach(*command);
  command->add_option("--request", request_, "Run the request saved in an analysis document")
      ->excludes(analysis)
      ->excludes(graph);
  command->add_option("--set", settings_, "NAME=VALUE: set a graph option of the analysis");
  CLI::Option* json = command->add_flag("--json", json_, "Print JSON instead of text");
  command->add_flag("--csv", csv_, "Print CSV tables instead of text")->excludes(json);
  command->add_option("--dot", dot_, "Also write the graph with the answer drawn on it (Graphviz)");
  command->footer("Analyses: " + analysisWords() +
                  "\n`kyanalyze describe ANALYSIS` lists an analysis's options and results.");
  service_.attach(*command);
  return command;
}

int RunCommand::run(std::ostream& out, std::ostream& err) {
  KyAnalysisRequest request;
  std::string error;
  if (!request_.empty()) {
    if (!graph_.columns.empty() || !graph_.scale.empty()) {
      err << "kyanalyze: --column and --scale say how to read --graph; a saved request is "
             "run as it is\n";
      return kExitUsage;
    }
    if (!request.readDocument(request_, error)) {
      err << "kyanalyze: " << error << '\n';
      return kExitFailure;
    }
  } else {
    if (analysis_.empty() || graph_.graph.empty()) {
      err << "kyanalyze: run needs an analysis and --graph FILE, or --request FILE\n";
      return kExitUsage;
    }
    const int code = analysisCode(analysis_);
    if (code == OPERATION_NONE) {
      reportUnknownAnalysis(err, analysis_);
      return kExitUsage;
    }
    KyGraphReadOptions options;
    if (!graph_.readOptions(options, error)) {
      err << "kyanalyze: " << error << '\n';
      return kExitUsage;
    }
    KyGraphData data;
    if (!graph_.read(options, data, error)) {
      err << "kyanalyze: " << error << '\n';
      return kExitFailure;
    }
    if (!request.start(code, std::move(data), error)) {
      err << "kyanalyze: " << error << '\n';
      return kExitUsage;
    }
  }
  GraphOptions::writeNotes(err, request.notes());
  if (graph_.undirected && !request.undirected(error)) {
    err << "kyanalyze: " << error << '\n';
    return kExitUsage;
  }
  for (const std::string& setting : settings_)
    if (!request.set(setting, error)) {
      err << "kyanalyze: " << error << '\n';
      return kExitUsage;
    }
  if (!dot_.empty() && (graph_.overwrites(dot_) || sameFile(dot_, request_))) {
    err << "kyanalyze: --dot " << shownPath(dot_) << ": is an input file; choose another name\n";
    return kExitUsage;
  }

  const int operation = request.operation();
  const KyGraphNames& names = request.names();
  KyServiceOutputData output;
  const int outcome = service_.answer(request.input(), output, err);
  if (outcome < 0)
    return kExitFailure;
  if (outcome != ANALYSIS_ERROR_NONE) {
    err << "kyanalyze: "
        << (operation == OPERATION_NONE ? std::string("the request")
                                        : toUtf8(KyAnalysisOperation::word(operation)))
        << ": " << KyAnswerCode::failure(outcome, request.input(), output, names) << '\n';
    return outcome == ANALYSIS_ERROR_INVALID_OPTION ? kExitUsage : kExitFailure;
  }

  const KyAnswer answer(request, output, kRunPathLimit);
  if (!dot_.empty()) {
    std::ofstream dot(dot_, std::ios::binary);
    answer.writeDot(dot);
    dot.close();
    if (!dot) {
      err << "kyanalyze: " << shownPath(dot_) << ": cannot be written\n";
      return kExitFailure;
    }
  }
  if (json_)
    out << answer.json() << '\n';
  else if (csv_)
    answer.writeCsv(out);
  else
    answer.writeText(out);
  return kExitOk;
}

} // namespace kyanalyze
