#include "ConvertCommand.h"

#include "AnalysisWords.h"
#include "Text.h"

#include <kyformats/KyAnalysisRequest.h>
#include <kyformats/KyEdgeListWriter.h>
#include <kyformats/KyGraphMLWriter.h>

#include <kyanalysis/KyAnalysisEnums.h>

#include <CLI/CLI.hpp>

#include <algorithm>
#include <ostream>

namespace kyanalyze {
namespace {

bool endsWith(const std::string& text, const std::string& tail) {
  return text.size() >= tail.size() &&
         text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

std::string joined(std::vector<std::string> items) {
  std::sort(items.begin(), items.end());
  items.erase(std::unique(items.begin(), items.end()), items.end());
  std::string text;
  for (const std::string& item : items)
    text += (text.empty() ? "" : ", ") + item;
  return text;
}

} // namespace

CLI::App* ConvertCommand::attach(CLI::App& app) {
  CLI::App* command = app.add_subcommand(
      "convert", "Turn a graph with its values into another format (.xml, .graphml, edge list)");
  graph_.attach(*command)->required();
  command->add_option("output", output_, "The file to write; its name says the format")->required();
  command->add_option("--nodes-out", nodesOut_, "Node table to write beside an edge list");
  command->add_option("--analysis", analysis_,
                      "Analysis of the request an analysis document holds");
  command->add_option("--set", settings_, "NAME=VALUE: set a graph option of that analysis");
  return command;
}

int ConvertCommand::run(std::ostream&, std::ostream& err) {
  std::string error;
  KyGraphReadOptions options;
  if (!graph_.readOptions(options, error)) {
    err << "kyanalyze: " << error << '\n';
    return kExitUsage;
  }
  if (graph_.overwrites(output_) || (!nodesOut_.empty() && graph_.overwrites(nodesOut_))) {
    err << "kyanalyze: " << shownPath(output_) << ": is an input file; choose another name\n";
    return kExitUsage;
  }
  const bool document = endsWith(output_, ".xml");
  const bool graphml = endsWith(output_, ".graphml");
  int operation = OPERATION_NONE;
  if (!analysis_.empty() && (operation = analysisCode(analysis_)) == OPERATION_NONE) {
    reportUnknownAnalysis(err, analysis_);
    return kExitUsage;
  }
  if (!document && (!analysis_.empty() || !settings_.empty())) {
    err << "kyanalyze: --analysis and --set belong to an analysis document (.xml) output\n";
    return kExitUsage;
  }
  if ((document || graphml) && !nodesOut_.empty()) {
    err << "kyanalyze: --nodes-out belongs to an edge list output; "
        << (document ? "an analysis document" : "GraphML") << " keeps the node values itself\n";
    return kExitUsage;
  }
  KyGraphData data;
  if (!graph_.read(options, data, error)) {
    err << "kyanalyze: " << error << '\n';
    return kExitFailure;
  }
  std::vector<std::string> leftOut;

  if (document) {
    KyAnalysisRequest request;
    bool made = true;
    if (data.document != nullptr && operation == OPERATION_NONE) {
      request.adopt(std::move(data));
    } else if (operation == OPERATION_NONE) {
      err << "kyanalyze: an analysis document holds a request: name its analysis with "
             "--analysis\n";
      return kExitUsage;
    } else {
      made = request.start(operation, std::move(data), error);
    }
    if (!made || (graph_.undirected && !request.undirected(error))) {
      err << "kyanalyze: " << error << '\n';
      return kExitUsage;
    }
    GraphOptions::writeNotes(err, request.notes());
    for (const std::string& setting : settings_)
      if (!request.set(setting, error)) {
        err << "kyanalyze: " << error << '\n';
        return kExitUsage;
      }
    for (const std::string& column : request.unusedColumns())
      leftOut.push_back(column + " (a column " + analysis_ + " has no option for)");
    if (!KyAnalysisDocument::writeFile(&request.graph(), request.input(), output_, error)) {
      err << "kyanalyze: " << error << '\n';
      return kExitFailure;
    }
  } else {
    GraphOptions::writeNotes(err, data.notes);
    data.takeDocumentColumns(leftOut);
    data.undirected = data.undirected || graph_.undirected;
    if (graphml) {
      if (!KyGraphMLWriter().writeFile(data, output_, error)) {
        err << "kyanalyze: " << error << '\n';
        return kExitFailure;
      }
    } else {
      if (!data.nodeColumns.empty() && nodesOut_.empty()) {
        err << "kyanalyze: the graph has per-node values; give --nodes-out FILE for them\n";
        return kExitUsage;
      }
      if (data.undirected)
        leftOut.push_back("that the edges are undirected");
      const char delimiter = endsWith(output_, ".csv")   ? ','
                             : endsWith(output_, ".tsv") ? '\t'
                                                         : ' ';
      if (!KyEdgeListWriter(delimiter).writeFiles(data, output_, nodesOut_, error)) {
        err << "kyanalyze: " << error << '\n';
        return kExitFailure;
      }
    }
  }
  if (!leftOut.empty())
    err << "kyanalyze: note: " << shownPath(output_) << " does not keep " << joined(leftOut)
        << '\n';
  if (options.scale != 1)
    err << "kyanalyze: note: " << shownPath(output_) << " holds the values read times "
        << options.scale << ", the scale\n";
  return kExitOk;
}

} // namespace kyanalyze
