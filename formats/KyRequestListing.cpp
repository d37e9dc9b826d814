#include <kyformats/KyRequestListing.h>

#include <kyformats/KyFormatText.h>
#include <kyformats/KyGraphNames.h>

#include <kyanalysis/KyAnalysisKeys.h>
#include <kyanalysis/KyAnalysisOperation.h>
#include <kyanalysis/KyClusteringConstraint.h>
#include <kyplatform/KyConstraintManager.h>
#include <kyplatform/KyDList.h>
#include <kyplatform/KyGraph.h>
#include <kyplatform/KyInt.h>
#include <kyplatform/KyNode.h>
#include <kyplatform/KyServiceData.h>
#include <kyplatform/KyServiceItemDescription.h>
#include <kyplatform/KyServiceItemDescriptionManager.h>
#include <kyplatform/KyServiceName.h>
#include <kyplatform/KyText.h>

#include <algorithm>
#include <cstddef>
#include <cwchar>
#include <memory>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

namespace KyRequestListing {

using KyFormatText::escaped;
using KyFormatText::toUtf8;

void write(std::ostream& out, const KyGraph& graph, const KyServiceInputData& request) {
  const KyGraphNames names(graph);
  const auto* code =
      dynamic_cast<const KyInt*>(request.pValue(nullptr, KyAnalysisKey::all::noneOperation));
  out << "operation: ";
  if (code == nullptr)
    out << "none\n";
  else if (code->value() >= 0 && code->value() < KyAnalysisOperation::count())
    out << toUtf8(KyAnalysisOperation::word(code->value())) << " (" << code->value() << ")\n";
  else
    out << code->value() << '\n';
  out << "graph: " << graph.numberOfNodes() << " nodes, " << graph.numberOfEdges() << " edges\n";

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
  request.visitValues([&](const KyObject* owner, const wchar_t* key, KyObject* value) {
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
        << optionText(request, keys[line.key].first, line.value, names) << '\n';

  std::vector<std::string> constraints;
  for (const KyConstraintManager* manager : managers)
    for (KyDListIter it(manager->pConstraintList()); it; ++it) {
      const auto* constraint = dynamic_cast<const KyClusteringConstraint*>(it.pObject());
      if (constraint == nullptr)
        continue;
      const std::string nodes = names.nodeList(constraint->pNodeList());
      constraints.push_back(std::string(KyGraphNames::constraintType(constraint->type())) +
                            "  priority " + std::to_string(constraint->priority()) + "  " +
                            (constraint->fulfilled() ? "fulfilled" : "open") +
                            (nodes.empty() ? "" : ": " + nodes));
    }
  out << "constraints:" << (constraints.empty() ? " none" : "") << '\n';
  for (const std::string& line : constraints)
    out << "  " << line << '\n';
}

std::string optionText(const KyServiceInputData& request, const wchar_t* key, const KyObject* value,
                       const KyGraphNames& names) {
  if (const auto* manager = dynamic_cast<const KyConstraintManager*>(value)) {
    const int count = manager->pConstraintList()->length();
    return std::to_string(count) + (count == 1 ? " constraint" : " constraints");
  }
  if (dynamic_cast<const KyNode*>(value) != nullptr)
    return names.member(value);
  if (dynamic_cast<const KyDList*>(value) != nullptr)
    return names.nodeList(value);
  KyServiceName* service = request.pServiceName();
  const KyServiceItemDescription* description =
      service != nullptr ? service->pInputDescription()->pOption(key) : nullptr;
  if (description != nullptr) {
    const std::unique_ptr<KyText> text(service->pConvertValueToString(
        const_cast<KyObject*>(value), description->pValueType(), nullptr));
    if (text != nullptr)
      return escaped(toUtf8(text->pValue()));
  }
  return names.member(value);
}

} // namespace KyRequestListing
