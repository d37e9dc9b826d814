#include <kyformats/KyGraphData.h>

#include <kyformats/KyFormatText.h>

#include <kyanalysis/KyAnalysisKeys.h>
#include <kyanalysis/KyAnalysisOperation.h>
#include <kyplatform/KyEdge.h>
#include <kyplatform/KyInt.h>
#include <kyplatform/KyNode.h>

#include <map>

KyGraphData& KyGraphData::operator=(KyGraphData&& other) noexcept {
  if (this == &other)
    return *this;
  document.reset();
  graph = std::move(other.graph);
  nodeColumns = std::move(other.nodeColumns);
  edgeColumns = std::move(other.edgeColumns);
  undirected = other.undirected;
  notes = std::move(other.notes);
  document = std::move(other.document);
  return *this;
}

void KyGraphData::takeDocumentColumns(std::vector<std::string>& leftOut) {
  if (document == nullptr)
    return;
  using KyFormatText::toUtf8;
  KyServiceInputData& request = document->request;
  const auto* code =
      dynamic_cast<const KyInt*>(request.pValue(nullptr, KyAnalysisKey::all::noneOperation));
  const std::string word = code != nullptr && KyAnalysisOperation::word(code->value()) != nullptr
                               ? toUtf8(KyAnalysisOperation::word(code->value()))
                               : "";
  std::map<std::string, KyValueColumn> nodes, edges;
  request.visitValues([&](const KyObject* owner, const wchar_t* wideKey, KyObject* value) {
    const std::string key = toUtf8(wideKey);
    const std::string name = key.substr(key.rfind(':') + 1);
    const auto* integer = dynamic_cast<const KyInt*>(value);
    const auto* node = dynamic_cast<const KyNode*>(owner);
    const auto* edge = dynamic_cast<const KyEdge*>(owner);
    const std::string scope = node != nullptr ? "node" : "edge";
    KyValueKind kind = KyValueKind::integer;
    if (integer == nullptr || (node == nullptr && edge == nullptr) ||
        key != word + ":" + scope + ":" + name || !KyValueColumn::kindOf(scope, name, kind)) {
      if (owner != nullptr || key.rfind("all:", 0) != 0)
        leftOut.push_back(KyFormatText::escaped(key));
      return;
    }
    auto& columns = node != nullptr ? nodes : edges;
    KyValueColumn& into = columns.emplace(name, KyValueColumn{{name}, kind, {}}).first->second;
    into.values.emplace_back(node != nullptr ? node->index() : edge->index(), integer->value());
  });
  for (auto& entry : nodes)
    nodeColumns.push_back(std::move(entry.second));
  for (auto& entry : edges)
    edgeColumns.push_back(std::move(entry.second));
}
