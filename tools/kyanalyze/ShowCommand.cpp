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
#include <ostream>
#include <tuple>
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

  struct Line {
    std::string key, owner, value;
    bool operator<(const Line& other) const {
      return std::tie(key, owner) < std::tie(other.key, other.owner);
    }
  };
  std::vector<Line> lines;
  std::vector<const KyConstraintManager*> managers;
  data.visitValues([&](const KyObject* owner, const wchar_t* key, KyObject* value) {
    lines.push_back(
        {escaped(toUtf8(key)), names.member(owner), optionText(data, key, value, names)});
    if (const auto* manager = dynamic_cast<const KyConstraintManager*>(value))
      managers.push_back(manager);
  });
  std::sort(lines.begin(), lines.end());
  out << "options:" << (lines.empty() ? " none" : "") << '\n';
  for (const Line& line : lines)
    out << "  " << line.key << "  " << line.owner << "  " << line.value << '\n';

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
