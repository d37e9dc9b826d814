// Fuzzes KyAnalysisConstraintXMLReader on one constraint element: the input
// is put inside the constraint manager of a small analysis document (nodes
// n0 to n2, edge e0) and the document is read as a whole, so the element
// goes through the trial read, the service name's constraint manager hook
// and the reader as a request's constraints do.
#include "KyFuzzing.h"

#include <kyanalysis/KyAnalysisKeys.h>
#include <kyanalysis/KyClusteringConstraint.h>
#include <kyplatform/KyConstraintManager.h>
#include <kyplatform/KyNode.h>

#include <cstddef>
#include <cstdint>
#include <string>

namespace {
constexpr char kBefore[] =
    "<document><part name=\"graph\"><graph id=\"g0\"><node id=\"n0\"/><node id=\"n1\"/>"
    "<node id=\"n2\"/><edge id=\"e0\" source=\"n0\" target=\"n1\"/></graph></part>"
    "<part name=\"analysis\"><option key=\"clustering:graph:constraintManager\" "
    "type=\"KyConstraintManager\"><entry owner=\"g0\"><constraintManager parent=\"g0\">";
constexpr char kAfter[] = "</constraintManager></entry></option></part></document>";
} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  kyfuzz::holdXMLPlatform();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text =
      kBefore + std::string(reinterpret_cast<const char*>(data), size) + kAfter;
  KyGraph graph;
  const kyfuzz::Held<KyServiceInputData> request;
  KyAnalysisXMLReader reader(reinterpret_cast<const unsigned char*>(text.data()),
                             static_cast<unsigned int>(text.size()));
  reader.pGraph(&graph);
  reader.pServiceInputData(&*request);
  if (reader.read() == 0) {
    kyfuzz::require(request->numberOfValues() == 0);
    return 0;
  }

  // Whatever the element held, the constraints read are clustering
  // constraints of a known type on nodes of this graph.
  const auto* manager = dynamic_cast<const KyConstraintManager*>(
      request->pValue(&graph, KyAnalysisKey::clustering::graphConstraintManager));
  if (manager != nullptr)
    for (KyDListIter it(manager->pConstraintList()); it; ++it) {
      const auto* constraint = dynamic_cast<const KyClusteringConstraint*>(it.pObject());
      kyfuzz::require(constraint != nullptr);
      kyfuzz::require(constraint->type() >= 0 && constraint->type() <= 2);
      for (KyNodeDListIter node(constraint->pNodeList()); node; ++node)
        kyfuzz::require(node.pNode() != nullptr && node.pNode()->pOwnerGraph() == &graph);
    }
  kyfuzz::requireRoundTrip(graph, *request, nullptr);
  return 0;
}
