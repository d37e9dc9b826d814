// Tree test. Read undirected (the default), the graph is a forest when it
// holds no cycle with directions ignored, self-loops and parallel edges
// counting as cycles, and a tree when it is moreover connected and not
// empty. Read directed, each part must also be rooted: a forest when it is
// an undirected forest whose every node has at most one incoming edge (each
// connected part is then an out-tree, its edges pointing away from the one
// node without an incoming edge), a tree when that forest is one tree.
//
// With n nodes, m edges and c connected parts, the graph is an undirected
// forest exactly when m = n - c.
#include <kyanalysis/KyAnalysisErrorEnum.h>
#include <kyanalysis/KyAnalysisKeys.h>
#include <kyanalysis/KyTreeTestInputTailor.h>
#include <kyplatform/KyGraph.h>

#include "KyEngineAnalyses_p.h"
#include "KyEngineAnswer_p.h"
#include "KyEngineComponents_p.h"
#include "KyEngineNetwork_p.h"

#include <vector>

int runTreeTestAnalysis(KyServiceInputData& input, KyGraph& graph, KyEngineAnswer& answer) {
  namespace key = KyAnalysisKey::treeTest;
  const KyTreeTestInputTailor request(&input);
  const KyEngineNetwork net(graph);
  const int parts = connectedComponents(net).count;
  bool forest = net.edgeCount() == net.nodeCount() - parts;
  if (forest && request.directed() != 0) {
    std::vector<char> entered(static_cast<std::size_t>(net.nodeCount()), 0);
    for (int e = 0; e < net.edgeCount() && forest; ++e) {
      forest = !entered[net.target(e)];
      entered[net.target(e)] = 1;
    }
  }
  answer.integer(nullptr, key::noneForest, forest ? 1 : 0);
  answer.integer(nullptr, key::noneTree, forest && parts == 1 ? 1 : 0);
  return ANALYSIS_ERROR_NONE;
}
