#include "RunCommand.h"

#include "AnalysisRequest.h"
#include "AnalysisWords.h"
#include "AnswerModel.h"
#include "AnswerPrinter.h"
#include "DotWriter.h"
#include "EngineOutcome.h"
#include "Utf8.h"

#include <kyanalysis/KyAnalysisOperation.h>
#include <kyengine/KyLocalAnalysisService.h>

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
  CLI::Option* graph =
      command->add_option("--graph", graph_, "Graph: an edge list, or an analysis document (.xml)");
  command->add_option("--request", request_, "Run the request saved in an analysis document")
      ->excludes(analysis)
      ->excludes(graph);
  command->add_option("--set", settings_, "NAME=VALUE: set a graph option of the analysis");
  command->add_flag("--json", json_, "Print JSON instead of text");
  command->add_option("--dot", dot_, "Also write the graph with the answer drawn on it (Graphviz)");
  return command;
}

int RunCommand::run(std::ostream& out, std::ostream& err) {
  AnalysisRequest request;
  if (!request_.empty()) {
    if (!request.readDocument(request_, err))
      return kExitFailure;
  } else {
    if (analysis_.empty() || graph_.empty()) {
      err << "kyanalyze: run needs an analysis and --graph FILE, or --request FILE\n";
      return kExitUsage;
    }
    const int code = analysisCode(analysis_);
    if (code == OPERATION_NONE) {
      reportUnknownAnalysis(err, analysis_);
      return kExitUsage;
    }
    if (!request.readGraph(code, graph_, err))
      return kExitFailure;
  }
  for (const std::string& setting : settings_)
    if (!request.set(setting, err))
      return kExitUsage;

  const int operation = request.operation();
  KyServiceOutputData output;
  const int outcome = KyLocalAnalysisService().run(&request.input(), &output);
  if (outcome != ANALYSIS_ERROR_NONE) {
    err << "kyanalyze: "
        << (operation == OPERATION_NONE ? std::string("the request")
                                        : toUtf8(KyAnalysisOperation::word(operation)))
        << ": " << engineOutcome(outcome) << '\n';
    return kExitFailure;
  }

  const Json answer =
      answerJson(operation, request.graph(), request.input(), output, kRunPathLimit);
  if (!dot_.empty()) {
    std::ofstream dot(dot_, std::ios::binary);
    writeDot(dot, request.graph(), request.input(), answer);
    dot.close();
    if (!dot) {
      err << "kyanalyze: " << printable(dot_) << ": cannot be written\n";
      return kExitFailure;
    }
  }
  if (json_)
    out << answer.dump(2) << '\n';
  else
    writeAnswer(out, answer);
  return kExitOk;
}

} // namespace kyanalyze
