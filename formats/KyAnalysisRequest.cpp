#include <kyformats/KyAnalysisRequest.h>

#include <kyformats/KyFormatText.h>
#include <kyformats/KyValueColumn.h>

#include <kyanalysis/KyAnalysisKeys.h>
#include <kyanalysis/KyAnalysisOperation.h>
#include <kyanalysis/KyGeneralAnalysisInputTailor.h>
#include <kyplatform/KyDList.h>
#include <kyplatform/KyDouble.h>
#include <kyplatform/KyEdge.h>
#include <kyplatform/KyHashMap.h>
#include <kyplatform/KyInt.h>
#include <kyplatform/KyNode.h>
#include <kyplatform/KyNodeDList.h>
#include <kyplatform/KyServiceItemDescription.h>
#include <kyplatform/KyServiceItemDescriptionManager.h>
#include <kyplatform/KyServiceName.h>
#include <kyplatform/KyText.h>

#include <climits>
#include <limits>
#include <memory>
#include <sstream>
#include <tuple>

using KyFormatText::escaped;
using KyFormatText::fromUtf8;
using KyFormatText::toUtf8;

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

/// The per-member option whose unit the graph option `name` is in: the
/// bounds on walks are costs, the desired flow a capacity; "" for others.
std::string unitOf(const std::string& name) {
  if (name == "range" || name == "level")
    return "cost";
  return name == "desiredFlow" ? "capacity" : "";
}

/// The analyses that read every edge as undirected whatever the request says.
bool undirectedAnyway(int operation) {
  return operation == OPERATION_CONNECTED_COMPONENTS ||
         operation == OPERATION_BICONNECTED_COMPONENTS ||
         operation == OPERATION_MINIMUM_SPANNING_TREE || operation == OPERATION_CLUSTERING;
}

} // namespace

KyAnalysisRequest::KyAnalysisRequest() : graph_(data_.graph.get()), input_(&fresh_) {}

KyAnalysisRequest::~KyAnalysisRequest() = default;

bool KyAnalysisRequest::start(int operation, KyGraphData data, std::string& error) {
  forget();
  data_ = std::move(data);
  graph_ = data_.graph.get();
  names_.reset();
  input_ = &fresh_;
  KyGeneralAnalysisInputTailor(&fresh_).pGraph(graph_);
  fresh_.storeOwned(nullptr, KyAnalysisKey::all::noneOperation, new KyInt(operation));
  originalEdges_ = graph_->numberOfEdges();
  applyColumns(data_.nodeColumns, "node");
  applyColumns(data_.edgeColumns, "edge");
  scaleDefaults();
  // The request holds the values now.
  data_.nodeColumns = {};
  data_.edgeColumns = {};
  notes_ = std::move(data_.notes);
  if (data_.document != nullptr && KyAnalysisOperation::word(operation) != nullptr) {
    const std::string word = toUtf8(KyAnalysisOperation::word(operation));
    int values = 0;
    data_.document->request.visitValues([&](const KyObject*, const wchar_t* key, KyObject*) {
      values += toUtf8(key).rfind(word + ":", 0) == 0 ? 1 : 0;
    });
    if (values > 0)
      notes_.push_back("the analysis document holds " + std::to_string(values) + " " + word +
                       (values == 1 ? " option" : " options") +
                       ", which a graph file does not bring; --request runs the document as "
                       "saved");
  }
  return !data_.undirected || undirected(error);
}

void KyAnalysisRequest::scaleDefaults() {
  KyServiceName& service = *fresh_.pServiceName();
  for (const auto& [name, scale] : scales_)
    for (const bool nodes : {true, false}) {
      const auto* description = option(service, operation(), nodes ? L"node" : L"edge",
                                       std::wstring(name.begin(), name.end()));
      const auto* fallback = description != nullptr
                                 ? dynamic_cast<const KyInt*>(description->pDefaultValue())
                                 : nullptr;
      if (fallback == nullptr || fallback->value() == 0 || fallback->value() == INT_MAX)
        continue;
      const long long scaled = static_cast<long long>(fallback->value()) * scale;
      const int value =
          static_cast<int>(std::max<long long>(INT_MIN, std::min<long long>(INT_MAX, scaled)));
      const int count = nodes ? graph_->numberOfNodes() : graph_->numberOfEdges();
      for (int i = 0; i < count; ++i) {
        KyObject* owner = nodes ? static_cast<KyObject*>(graph_->pNodeAt(i)) : graph_->pEdgeAt(i);
        if (fresh_.pValue(owner, description->pKey()) == nullptr)
          fresh_.storeInteger(owner, description->pKey(), value);
      }
    }
}

int KyAnalysisRequest::scaleOf(const std::string& name) const {
  const auto found = scales_.find(name);
  return found != scales_.end() ? found->second : 1;
}

int KyAnalysisRequest::scale() const {
  int most = 1;
  for (const auto& entry : scales_)
    most = std::max(most, entry.second);
  return most;
}

void KyAnalysisRequest::applyColumns(const std::vector<KyValueColumn>& columns, const char* scope) {
  if (columns.empty())
    return;
  const bool nodes = std::string(scope) == "node";
  KyServiceName& service = *fresh_.pServiceName();
  const std::wstring wideScope(scope, scope + std::char_traits<char>::length(scope));
  for (const KyValueColumn& column : columns) {
    const KyServiceOptionDescription* description = nullptr;
    for (const std::string& name : column.names)
      if (description == nullptr)
        description =
            option(service, operation(), wideScope, std::wstring(name.begin(), name.end()));
    if (description == nullptr) {
      unused_.push_back(std::string(scope) + " " + column.names.front());
      continue;
    }
    if (column.scale != 1) {
      const std::wstring key = description->pKey();
      scales_[toUtf8(key.substr(key.rfind(L':') + 1).c_str())] = column.scale;
    }
    // The values by position, stored in one pass; a column that holds the
    // value marking an empty position is stored value by value.
    constexpr int missing = std::numeric_limits<int>::min();
    std::vector<int> byPosition(
        static_cast<std::size_t>(nodes ? graph_->numberOfNodes() : graph_->numberOfEdges()),
        missing);
    bool marked = false;
    for (const auto& [position, value] : column.values) {
      byPosition[static_cast<std::size_t>(position)] = value;
      marked = marked || value == missing;
    }
    if (!marked) {
      fresh_.storeMemberIntegers(description->pKey(), *graph_, !nodes, byPosition, missing);
      continue;
    }
    for (const auto& [position, value] : column.values)
      fresh_.storeInteger(nodes ? static_cast<KyObject*>(graph_->pNodeAt(position))
                                : graph_->pEdgeAt(position),
                          description->pKey(), value);
  }
}

bool KyAnalysisRequest::readDocument(const std::string& path, std::string& error) {
  KyGraphData data;
  data.document = std::make_unique<KyAnalysisDocument>();
  if (!data.document->readFile(path, error))
    return false;
  data.graph = std::move(data.document->graph);
  adopt(std::move(data));
  return true;
}

void KyAnalysisRequest::adopt(KyGraphData data) {
  forget();
  data_ = std::move(data);
  graph_ = data_.graph.get();
  names_.reset();
  input_ = &data_.document->request;
  originalEdges_ = graph_->numberOfEdges();
}

void KyAnalysisRequest::forget() {
  // The values go before the graph they refer to.
  fresh_.removeAllValues();
  unused_.clear();
  notes_.clear();
  scales_.clear();
  names_.reset();
}

const KyGraphNames& KyAnalysisRequest::names() const {
  if (names_ == nullptr)
    names_ = std::make_unique<KyGraphNames>(*graph_);
  return *names_;
}

bool KyAnalysisRequest::undirected(std::string& error) {
  const int code = operation();
  if (code == OPERATION_NONE || undirectedAnyway(code))
    return true;
  const std::string word = toUtf8(KyAnalysisOperation::word(code));
  if (code == OPERATION_TOPOLOGICAL_SORT || code == OPERATION_ACYCLIC_TEST ||
      code == OPERATION_CYCLE_BREAKING_EDGE_DETECTION) {
    error = word + " cannot follow edges both ways: an edge and its way back would form a "
                   "cycle; treeTest tells whether an undirected graph is a forest";
    return false;
  }
  KyServiceName& service = *input_->pServiceName();
  if (code == OPERATION_TREE_TEST) {
    input_->storeOwned(graph_, option(service, code, L"graph", L"directed")->pKey(), new KyInt(0));
    return true;
  }
  if (const auto* own = option(service, code, L"graph", L"undirected")) {
    input_->storeOwned(graph_, own->pKey(), new KyInt(1));
    return true;
  }
  if (graph_->numberOfEdges() != originalEdges_)
    return true; // the twins are there already

  std::vector<KyEdge*> edges;
  for (KyEdgeDListIter it(graph_->pEdgeList()); it; ++it)
    edges.push_back(it.pEdge());
  std::vector<std::tuple<const KyEdge*, const wchar_t*, KyObject*>> values;
  input_->visitValues([&](const KyObject* owner, const wchar_t* key, KyObject* value) {
    if (const auto* edge = dynamic_cast<const KyEdge*>(owner))
      values.emplace_back(edge, key, value);
  });
  for (KyEdge* edge : edges)
    graph_->addEdge(edge->pTargetNode(), edge->pSourceNode());
  std::vector<KyEdge*> twins;
  for (KyEdgeDListIter it(graph_->pEdgeList()); it; ++it)
    if (it.pEdge()->index() >= originalEdges_)
      twins.push_back(it.pEdge());
  // An integer or a double the store made stays the store's: the twin gets
  // one of its own; any other value is shared through a claim.
  for (const auto& [edge, key, value] : values) {
    KyEdge* twin = twins[static_cast<std::size_t>(edge->index())];
    if (const auto* integer = dynamic_cast<const KyInt*>(value)) {
      input_->storeInteger(twin, key, integer->value());
    } else if (const auto* real = dynamic_cast<const KyDouble*>(value)) {
      input_->storeDouble(twin, key, real->value());
    } else {
      value->vClaim();
      input_->storeOwned(twin, key, value);
    }
  }
  return true;
}

int KyAnalysisRequest::operation() const { return operationOf(*input_); }

int KyAnalysisRequest::operationOf(const KyServiceInputData& input) {
  const auto* code =
      dynamic_cast<const KyInt*>(input.pValue(nullptr, KyAnalysisKey::all::noneOperation));
  if (code == nullptr || code->value() < 0 || code->value() >= KyAnalysisOperation::count())
    return OPERATION_NONE;
  return code->value();
}

bool KyAnalysisRequest::set(const std::string& assignment, std::string& error) {
  const int code = operation();
  if (code == OPERATION_NONE) {
    error = "the request names no analysis whose options could be set";
    return false;
  }
  const std::string word = toUtf8(KyAnalysisOperation::word(code));
  const std::size_t equals = assignment.find('=');
  std::wstring name;
  if (equals == std::string::npos || !fromUtf8(assignment.substr(0, equals), name)) {
    error = "--set '" + escaped(assignment) + "': expected NAME=VALUE";
    return false;
  }
  const std::string nameText = escaped(assignment.substr(0, equals));
  const std::string value = assignment.substr(equals + 1);
  KyServiceName& service = *input_->pServiceName();
  const KyServiceOptionDescription* description = option(service, code, L"graph", name);
  if (description == nullptr) {
    const std::string names = graphOptionNames(service, code);
    error = word + " has no option '" + nameText + "'" +
            (names.empty() ? "; it has none to set" : "; its options are " + names);
    return false;
  }

  const std::wstring type = description->pValueType();
  const KyHashMap* map = description->pEnumeration();
  std::unique_ptr<KyObject> owned;
  KyNode* node = nullptr;
  std::string why;
  std::wstring wide;
  int ownedFlag = 0;
  if (map != nullptr) {
    owned = enumerationValue(*map, value);
  } else if (type == L"Boolean") {
    // Read as a Boolean column is: 0, 1, true or false in any case.
    int flag = 0;
    std::string unused;
    if (KyValueColumn::parse(KyValueKind::boolean, nameText, value, flag, unused))
      owned = std::make_unique<KyInt>(flag);
  } else if (const int scale = type == L"Integer" ? scaleOf(unitOf(nameText)) : 1;
             scale != 1 && value.rfind('-', 0) != 0) {
    int scaled = 0;
    if (KyValueColumn::parse(KyValueKind::integer, nameText, value, scale, scaled, why))
      owned = std::make_unique<KyInt>(scaled);
    else
      why = "scaled by " + std::to_string(scale) + " as the columns are";
  } else if (type == L"Integer" || type == L"Double") {
    if (fromUtf8(value, wide))
      owned.reset(service.pConvertStringToValue(wide.c_str(), type.c_str(), nullptr, ownedFlag));
  } else if (type == L"KyNode") {
    node = names().find(value, why);
  } else if (type == L"List<KyNode>") {
    auto list = std::make_unique<KyNodeDList>();
    std::istringstream items(value);
    for (std::string each; why.empty() && std::getline(items, each, ',');)
      if (KyNode* member = names().find(each, why))
        list->appendNode(member);
    if (why.empty())
      owned = std::move(list);
  } else {
    error = word + ": the option '" + nameText +
            "' cannot be set from the command line; save it in an analysis document";
    return false;
  }
  if (owned == nullptr && node == nullptr) {
    error = word + ": " + nameText + " takes " + accepted(type, map) +
            (why.empty() ? ", not '" + escaped(value) + "'" : "; " + why);
    return false;
  }
  if (node != nullptr)
    input_->storeReference(graph_, description->pKey(), node);
  else
    input_->storeOwned(graph_, description->pKey(), owned.release());
  return true;
}
