#include "ShowCommand.h"

#include "Document.h"
#include "EngineOutcome.h"
#include "GraphNames.h"
#include "Text.h"

#include <kyanalysis/KyAnalysisKeys.h>
#include <kyanalysis/KyAnalysisOperation.h>
#include <kyanalysis/KyClusteringConstraint.h>
#include <kyplatform/KyConstraintManager.h>
#include <kyplatform/KyInt.h>

#include <CLI/CLI.hpp>

#include <algorithm>
#include <cstddef>
#include <cwchar>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

namespace kyanalyze {

CLI::App* ShowCommand::attach(CLI::App& app) {
  CLI::App* command = app.add_subcommand("show", "Print the request an analysis document holds");
  command->add_option("file", file_, "Analysis document; - reads standard input")->required();
  return command;
}

int ShowCommand::run(std::ostream& out, std::ostream& err) {
  LoadedRequest request;
  std::string error;
  if (!loadRequestFile(file_, request, error)) {
    err << "kyanalyze: " << error << '\n';
    return kExitFailure;
  }

  const KyServiceInputData& data = request.data;
  const GraphNames names(*request.graph);
  const auto* code =
      dynamic_cast<const KyInt*>(data.pValue(nullptr, KyAnalysisKey::all::noneOperation));
  out << "operation: ";
  if (code == nullptr)
    out << "none\n";
  else if (code->value() >= 0 && code->value() < KyAnalysisOperation::count())
    out << toUtf8(KyAnalysisOperation::word(code->value())) << " (" << code->value() << ")\n";
  else
    out << code->value() << '\n';
  out << "graph: " << request.graph->numberOfNodes() << " nodes, " << request.graph->numberOfEdges()
      << " edges\n";

  // A million options are a million lines: each keeps its key's place in
  // text order, its owner's name and the value, whose text is made only
  // when it is printed.
  std::vector<std::pair<const wchar_t*, std::string>> keys; // the key as stored, as printed
  struct Line {
    std::size_t key; // in keys
    std::string owner;
    KyObject* value;
  };
  std::vector<Line> lines;
  std::vector<const KyConstraintManager*> managers;
  data.visitValues([&](const KyObject* owner, const wchar_t* key, KyObject* value) {
    std::size_t place = 0;
    while (place < keys.size() && keys[place].first != key &&
           std::wcscmp(keys[place].first, key) != 0)
      ++place;
    if (place == keys.size())
      keys.emplace_back(key, escaped(toUtf8(key)));
    lines.push_back({place, names.member(owner), value});
    if (const auto* manager = dynamic_cast<const KyConstraintManager*>(value))
      managers.push_back(manager);
  });
  std::vector<std::size_t> rank(keys.size()); // of each key in text order
  for (std::size_t i = 0; i < keys.size(); ++i)
    for (const auto& other : keys)
      rank[i] += other.second < keys[i].second ? 1 : 0;
  std::sort(lines.begin(), lines.end(), [&rank](const Line& a, const Line& b) {
    return rank[a.key] != rank[b.key] ? rank[a.key] < rank[b.key] : a.owner < b.owner;
  });
  out << "options:" << (lines.empty() ? " none" : "") << '\n';
  for (const Line& line : lines)
    out << "  " << keys[line.key].second << "  " << line.owner << "  "
        << optionText(data, keys[line.key].first, line.value, names) << '\n';

  std::vector<std::string> constraints;
  for (const KyConstraintManager* manager : managers)
    for (KyDListIter it(manager->pConstraintList()); it; ++it) {
      const auto* constraint = dynamic_cast<const KyClusteringConstraint*>(it.pObject());
      if (constraint == nullptr)
        continue;
      const std::string nodes = names.nodeList(constraint->pNodeList());
      constraints.push_back(std::string(constraintTypeName(constraint->type())) + "  priority " +
                            std::to_string(constraint->priority()) + "  " +
                            (constraint->fulfilled() ? "fulfilled" : "open") +
                            (nodes.empty() ? "" : ": " + nodes));
    }
  out << "constraints:" << (constraints.empty() ? " none" : "") << '\n';
  for (const std::string& line : constraints)
    out << "  " << line << '\n';
  return kExitOk;
}

} // namespace kyanalyze
