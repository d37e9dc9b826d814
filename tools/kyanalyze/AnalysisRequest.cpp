#include "AnalysisRequest.h"

#include "AnalysisWords.h"
#include "GraphNames.h"
#include "Utf8.h"

#include <kyanalysis/KyAnalysisKeys.h>
#include <kyanalysis/KyAnalysisOperation.h>
#include <kyanalysis/KyGeneralAnalysisInputTailor.h>
#include <kyplatform/KyDList.h>
#include <kyplatform/KyEdge.h>
#include <kyplatform/KyHashMap.h>
#include <kyplatform/KyInt.h>
#include <kyplatform/KyNode.h>
#include <kyplatform/KyNodeDList.h>
#include <kyplatform/KyServiceItemDescription.h>
#include <kyplatform/KyServiceItemDescriptionManager.h>
#include <kyplatform/KyServiceName.h>
#include <kyplatform/KyText.h>

#include <memory>
#include <ostream>
#include <sstream>

namespace kyanalyze {
namespace {

std::wstring analysisWord(int operation) { return KyAnalysisOperation::word(operation); }

/// The option `word:scope:name`, or null when the analysis has none.
const KyServiceOptionDescription* option(KyServiceName& service, int operation,
                                         const std::wstring& scope, const std::wstring& name) {
  const std::wstring key = analysisWord(operation) + L":" + scope + L":" + name;
  return dynamic_cast<const KyServiceOptionDescription*>(
      service.pInputDescription()->pOption(key.c_str()));
}

/// The names of the analysis's graph-scope options, separated by commas.
std::string graphOptionNames(KyServiceName& service, int operation) {
  const std::wstring prefix = analysisWord(operation) + L":graph:";
  std::string names;
  for (KyDListIter it(service.pInputDescription()->pDescriptionList()); it; ++it) {
    const std::wstring key = KyServiceItemDescription::castDown(it.pObject())->pKey();
    if (key.rfind(prefix, 0) == 0)
      names += (names.empty() ? "" : ", ") + toUtf8(key.substr(prefix.size()).c_str());
  }
  return names;
}

/// The code of an enumerated option's value, given by name or by code.
std::unique_ptr<KyInt> enumerationValue(const KyHashMap& map, const std::string& value) {
  for (int i = 0; i < map.length(); ++i) {
    const int code = KyInt::castDown(map.pValueAt(i))->value();
    if (toUtf8(KyText::castDown(map.pKeyAt(i))->pValue()) == value || std::to_string(code) == value)
      return std::make_unique<KyInt>(code);
  }
  return nullptr;
}

/// What an option of the given value type accepts, for diagnostics.
std::string accepted(const std::wstring& valueType, const KyHashMap* map) {
  if (map != nullptr) {
    std::string names;
    for (int i = 0; i < map->length(); ++i)
      names += (i > 0 ? ", " : "") + toUtf8(KyText::castDown(map->pKeyAt(i))->pValue());
    return "one of " + names + " or their codes";
  }
  if (valueType == L"Integer")
    return "a 32-bit integer";
  if (valueType == L"Boolean")
    return "0, 1, true or false";
  if (valueType == L"Double")
    return "a decimal number";
  if (valueType == L"KyNode")
    return "a node name";
  return "node names separated by commas";
}

} // namespace

bool AnalysisRequest::readGraph(int operation, const std::string& path, std::ostream& err) {
  const bool document = path.size() >= 4 && path.compare(path.size() - 4, 4, ".xml") == 0;
  if (document) {
    if (!loadRequestFile(path, document_, err))
      return false;
    start(operation, *document_.graph, nullptr);
    return true;
  }
  std::string error;
  if (!readEdgeList(path, edges_, error)) {
    err << "kyanalyze: " << printable(error) << '\n';
    return false;
  }
  start(operation, *edges_.graph, &edges_);
  return true;
}

bool AnalysisRequest::readDocument(const std::string& path, std::ostream& err) {
  if (!loadRequestFile(path, document_, err))
    return false;
  graph_ = document_.graph.get();
  input_ = &document_.data;
  return true;
}

void AnalysisRequest::start(int operation, KyGraph& graph, const EdgeList* edges) {
  graph_ = &graph;
  input_ = &fresh_;
  KyGeneralAnalysisInputTailor(&fresh_).pGraph(&graph);
  fresh_.setValue(nullptr, KyAnalysisKey::all::noneOperation, new KyInt(operation), 1, 0);
  if (edges == nullptr)
    return;
  KyServiceName& service = *fresh_.pServiceName();
  const KyServiceOptionDescription* cost = option(service, operation, L"edge", L"cost");
  if (cost == nullptr)
    cost = option(service, operation, L"edge", L"capacity");
  if (cost == nullptr)
    return;
  for (const auto& [edge, value] : edges->costs)
    fresh_.setValue(edge, cost->pKey(), new KyInt(value), 1, 0);
}

int AnalysisRequest::operation() const {
  const auto* code =
      dynamic_cast<const KyInt*>(input_->pValue(nullptr, KyAnalysisKey::all::noneOperation));
  if (code == nullptr || code->value() < 0 || code->value() >= KyAnalysisOperation::count())
    return OPERATION_NONE;
  return code->value();
}

bool AnalysisRequest::set(const std::string& assignment, std::ostream& err) {
  const int code = operation();
  if (code == OPERATION_NONE) {
    err << "kyanalyze: the request names no analysis whose options could be set\n";
    return false;
  }
  const std::string word = toUtf8(KyAnalysisOperation::word(code));
  const std::size_t equals = assignment.find('=');
  std::wstring name;
  if (equals == std::string::npos || !fromUtf8(assignment.substr(0, equals), name)) {
    err << "kyanalyze: --set '" << printable(assignment) << "': expected NAME=VALUE\n";
    return false;
  }
  const std::string nameText = assignment.substr(0, equals);
  const std::string value = assignment.substr(equals + 1);
  KyServiceName& service = *input_->pServiceName();
  const KyServiceOptionDescription* description = option(service, code, L"graph", name);
  if (description == nullptr) {
    const std::string names = graphOptionNames(service, code);
    err << "kyanalyze: " << word << " has no option '" << printable(nameText) << "'"
        << (names.empty() ? "; it has none to set" : "; its options are " + names) << '\n';
    return false;
  }

  const std::wstring type = description->pValueType();
  const KyHashMap* map = description->pEnumeration();
  std::unique_ptr<KyObject> owned;
  KyNode* node = nullptr;
  std::string error;
  std::wstring wide;
  int ownedFlag = 0;
  if (map != nullptr) {
    owned = enumerationValue(*map, value);
  } else if (type == L"Boolean") {
    if (value == "0" || value == "false" || value == "1" || value == "true")
      owned = std::make_unique<KyInt>(value == "1" || value == "true" ? 1 : 0);
  } else if (type == L"Integer" || type == L"Double") {
    if (fromUtf8(value, wide))
      owned.reset(service.pConvertStringToValue(wide.c_str(), type.c_str(), nullptr, ownedFlag));
  } else if (type == L"KyNode") {
    node = NodeFinder(*graph_).find(value, error);
  } else if (type == L"List<KyNode>") {
    auto list = std::make_unique<KyNodeDList>();
    const NodeFinder finder(*graph_);
    std::istringstream names(value);
    for (std::string each; error.empty() && std::getline(names, each, ',');)
      if (KyNode* member = finder.find(each, error))
        list->appendNode(member);
    if (error.empty())
      owned = std::move(list);
  } else {
    err << "kyanalyze: " << word << ": the option '" << printable(nameText)
        << "' cannot be set from the command line; save it in an analysis document\n";
    return false;
  }
  if (owned == nullptr && node == nullptr) {
    const std::string why = error.empty() ? ", not '" + value + "'" : "; " + error;
    err << "kyanalyze: " << word << ": "
        << printable(nameText + " takes " + accepted(type, map) + why) << '\n';
    return false;
  }
  if (node != nullptr)
    input_->setValue(graph_, description->pKey(), node, 0, 0);
  else
    input_->setValue(graph_, description->pKey(), owned.release(), 1, 0);
  return true;
}

} // namespace kyanalyze
