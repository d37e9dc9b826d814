#include "ShowCommand.h"

#include "GraphNames.h"
#include "Utf8.h"

#include <kyanalysis/KyAnalysisKeys.h>
#include <kyanalysis/KyAnalysisOperation.h>
#include <kyanalysis/KyAnalysisXMLReader.h>
#include <kyanalysis/KyClusteringConstraint.h>
#include <kyplatform/KyConstraintManager.h>
#include <kyplatform/KyEdge.h>
#include <kyplatform/KyInt.h>
#include <kyplatform/KyNode.h>
#include <kyplatform/KyServiceItemDescription.h>
#include <kyplatform/KyServiceItemDescriptionManager.h>
#include <kyplatform/KyServiceName.h>
#include <kyplatform/KyText.h>

#include <CLI/CLI.hpp>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <ostream>
#include <tuple>
#include <vector>

namespace kyanalyze {
namespace {

/// The value as the document writes numbers, or the names of the objects.
std::string valueText(KyServiceName& service, const wchar_t* key, KyObject* value) {
  const KyServiceItemDescription* description = service.pInputDescription()->pOption(key);
  if (description != nullptr) {
    std::unique_ptr<KyText> text(
        service.pConvertValueToString(value, description->pValueType(), nullptr));
    if (text != nullptr)
      return toUtf8(text->pValue());
  }
  if (const auto* manager = dynamic_cast<const KyConstraintManager*>(value))
    return std::to_string(manager->pConstraintList()->length()) + " constraints";
  if (const auto* list = dynamic_cast<const KyDList*>(value))
    return nodeNames(list);
  return memberName(value);
}

/// Reads the whole file `path` into `bytes`; false when it cannot be read.
bool readFile(const std::string& path, std::string& bytes) {
  std::ifstream file(path, std::ios::binary);
  if (!file)
    return false;
  bytes.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
  return !file.bad();
}

} // namespace

void loadRequest(const std::string& bytes, const std::string& where, LoadedRequest& request) {
  KyAnalysisXMLReader reader(reinterpret_cast<const unsigned char*>(bytes.data()),
                             static_cast<unsigned int>(bytes.size()));
  reader.pGraph(request.graph.get());
  reader.pServiceInputData(&request.data);
  if (bytes.size() > 0xffffffffu)
    request.error = where + ": the document is too large";
  else if (reader.read() == 0)
    request.error = where + ": " + toUtf8(reader.pErrorMessage());
}

bool loadRequestFile(const std::string& path, LoadedRequest& request, std::ostream& err) {
  std::string bytes;
  if (!readFile(path, bytes)) {
    err << "kyanalyze: " << path << ": cannot be read\n";
    return false;
  }
  loadRequest(bytes, path, request);
  if (!request.error.empty()) {
    err << "kyanalyze: " << request.error << '\n';
    return false;
  }
  return true;
}

CLI::App* ShowCommand::attach(CLI::App& app) {
  CLI::App* command = app.add_subcommand("show", "Print the request an analysis document holds");
  command->add_option("file", file_, "Analysis document")->required();
  return command;
}

int ShowCommand::run(std::ostream& out, std::ostream& err) {
  LoadedRequest request;
  if (!loadRequestFile(file_, request, err))
    return kExitFailure;

  const KyServiceInputData& data = request.data;
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
  KyServiceName& service = *data.pServiceName();
  data.visitValues([&](const KyObject* owner, const wchar_t* key, KyObject* value) {
    lines.push_back({toUtf8(key), memberName(owner), valueText(service, key, value)});
    if (const auto* manager = dynamic_cast<const KyConstraintManager*>(value))
      managers.push_back(manager);
  });
  std::sort(lines.begin(), lines.end());
  out << "options:\n";
  for (const Line& line : lines)
    out << "  " << line.key << "  " << line.owner << "  " << line.value << '\n';

  out << "constraints:\n";
  for (const KyConstraintManager* manager : managers)
    for (KyDListIter it(manager->pConstraintList()); it; ++it) {
      const auto* constraint = dynamic_cast<const KyClusteringConstraint*>(it.pObject());
      if (constraint == nullptr)
        continue;
      out << "  " << constraintTypeName(constraint->type()) << "  priority "
          << constraint->priority() << "  " << (constraint->fulfilled() ? "fulfilled" : "open")
          << ": " << nodeNames(constraint->pNodeList()) << '\n';
    }
  return kExitOk;
}

} // namespace kyanalyze
