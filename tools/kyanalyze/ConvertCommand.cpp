#include "ConvertCommand.h"

#include "AnalysisRequest.h"
#include "AnalysisWords.h"
#include "Document.h"
#include "EdgeListWriter.h"
#include "GraphML.h"
#include "InputFile.h"
#include "Text.h"

#include <kyanalysis/KyAnalysisEnums.h>
#include <kyanalysis/KyAnalysisKeys.h>
#include <kyanalysis/KyAnalysisOperation.h>
#include <kyplatform/KyEdge.h>
#include <kyplatform/KyInt.h>
#include <kyplatform/KyNode.h>

#include <CLI/CLI.hpp>

#include <algorithm>
#include <fstream>
#include <map>
#include <ostream>

namespace kyanalyze {
namespace {

bool endsWith(const std::string& text, const std::string& tail) {
  return text.size() >= tail.size() &&
         text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

/// The per-node and per-edge integer options of a document's request, of its
/// own analysis, as columns of `input`; the keys left out go to `leftOut`.
void takeRequestColumns(GraphInput& input, std::vector<std::string>& leftOut) {
  KyServiceInputData& data = input.document->data;
  const auto* code =
      dynamic_cast<const KyInt*>(data.pValue(nullptr, KyAnalysisKey::all::noneOperation));
  const std::string word = code != nullptr && KyAnalysisOperation::word(code->value()) != nullptr
                               ? toUtf8(KyAnalysisOperation::word(code->value()))
                               : "";
  std::map<std::string, Column> nodeColumns, edgeColumns;
  data.visitValues([&](const KyObject* owner, const wchar_t* wideKey, KyObject* value) {
    const std::string key = toUtf8(wideKey);
    const std::string name = key.substr(key.rfind(':') + 1);
    const auto* integer = dynamic_cast<const KyInt*>(value);
    const auto* node = dynamic_cast<const KyNode*>(owner);
    const auto* edge = dynamic_cast<const KyEdge*>(owner);
    const std::string scope = node != nullptr ? "node" : "edge";
    Column column;
    if (integer == nullptr || (node == nullptr && edge == nullptr) ||
        key != word + ":" + scope + ":" + name || !columnKind(scope, name, column.kind)) {
      if (owner != nullptr || key.rfind("all:", 0) != 0)
        leftOut.push_back(escaped(key));
      return;
    }
    auto& columns = node != nullptr ? nodeColumns : edgeColumns;
    Column& into = columns.emplace(name, Column{{name}, column.kind, {}}).first->second;
    into.values.emplace_back(node != nullptr ? node->index() : edge->index(), integer->value());
  });
  for (auto& entry : nodeColumns)
    input.nodeColumns.push_back(std::move(entry.second));
  for (auto& entry : edgeColumns)
    input.edgeColumns.push_back(std::move(entry.second));
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
  GraphSource source;
  if (!graph_.source(source, error)) {
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
  GraphInput input;
  if (!readGraph(source, input, error)) {
    err << "kyanalyze: " << error << '\n';
    return kExitFailure;
  }
  std::vector<std::string> leftOut;

  if (document) {
    AnalysisRequest request;
    bool made = true;
    if (input.document != nullptr && operation == OPERATION_NONE) {
      request.adopt(std::move(input));
    } else if (operation == OPERATION_NONE) {
      err << "kyanalyze: an analysis document holds a request: name its analysis with "
             "--analysis\n";
      return kExitUsage;
    } else {
      made = request.start(operation, std::move(input), error);
    }
    if (!made || (graph_.undirected && !request.undirected(error))) {
      err << "kyanalyze: " << error << '\n';
      return kExitUsage;
    }
    for (const std::string& setting : settings_)
      if (!request.set(setting, error)) {
        err << "kyanalyze: " << error << '\n';
        return kExitUsage;
      }
    for (const std::string& column : request.unusedColumns())
      leftOut.push_back(column + " (a column " + analysis_ + " has no option for)");
    // The file is made only once the document was.
    std::ofstream file;
    const auto piece = [&](const unsigned char* bytes, std::size_t length) {
      if (!file.is_open())
        file.open(output_, std::ios::binary);
      file.write(reinterpret_cast<const char*>(bytes), static_cast<std::streamsize>(length));
    };
    if (!writeDocument(&request.graph(), request.input(), true, piece, error)) {
      err << "kyanalyze: " << shownPath(output_) << ": " << error << '\n';
      return kExitFailure;
    }
    file.close();
    if (!file) {
      err << "kyanalyze: " << shownPath(output_) << ": cannot be written\n";
      return kExitFailure;
    }
  } else {
    if (input.document != nullptr)
      takeRequestColumns(input, leftOut);
    input.undirected = input.undirected || graph_.undirected;
    if (graphml) {
      if (!writeGraphML(output_, input, error)) {
        err << "kyanalyze: " << error << '\n';
        return kExitFailure;
      }
    } else {
      if (!input.nodeColumns.empty() && nodesOut_.empty()) {
        err << "kyanalyze: the graph has per-node values; give --nodes-out FILE for them\n";
        return kExitUsage;
      }
      if (input.undirected)
        leftOut.push_back("that the edges are undirected");
      const char delimiter = endsWith(output_, ".csv")   ? ','
                             : endsWith(output_, ".tsv") ? '\t'
                                                         : ' ';
      if (!writeEdgeList(output_, nodesOut_, delimiter, input, error)) {
        err << "kyanalyze: " << error << '\n';
        return kExitFailure;
      }
    }
  }
  if (!leftOut.empty())
    err << "kyanalyze: note: " << shownPath(output_) << " does not keep " << joined(leftOut)
        << '\n';
  return kExitOk;
}

} // namespace kyanalyze
