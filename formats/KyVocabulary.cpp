#include "KyVocabulary_p.h"

#include <sstream>

namespace KyVocabulary {
namespace {

// Rows of every analysis ("*:...") come after the rows of one analysis that
// say more.
const Term kTerms[] = {
    // Options every request has.
    {"all:none:graph", "the graph the analysis runs on"},
    {"all:none:operation", "the analysis asked for, by its operation code"},
    // Options.
    {"*:graph:undirected", "1: every edge may also be followed from its target to its source"},
    {"*:edge:undirected", "1: this edge may also be followed from its target to its source"},
    {"breadthFirstSearch:graph:startNode",
     "the node the search starts from; none: all nodes, from the first"},
    {"depthFirstSearch:graph:startNode",
     "the node the search starts from; none: all nodes, from the first"},
    {"reachableNodes:graph:startNode", "the node the walks start from"},
    {"*:graph:startNode", "the node the paths start from"},
    {"*:graph:finishNode", "the node the paths end at"},
    {"*:node:cost", "the cost of passing through the node, paid at each pass"},
    {"clustering:edge:cost", "what cutting the edge costs, putting its ends in two clusters"},
    {"minimumCut:edge:cost", "what cutting the edge costs: its capacity"},
    {"minimumCostFlow:edge:cost", "the cost of one unit of flow along the edge"},
    {"minimumSpanningTree:edge:cost", "the cost of the edge in a tree"},
    {"*:edge:cost", "the cost of following the edge"},
    {"clustering:graph:quality",
     "effort: CLUSTERING_QUALITY_DRAFT, CLUSTERING_QUALITY_MEDIUM or CLUSTERING_QUALITY_PROOF"},
    {"clustering:node:weight", "the node's share of its cluster's weight"},
    {"clustering:graph:minNumberOfClusters", "the fewest clusters"},
    {"clustering:graph:maxNumberOfClusters", "the most clusters; 0: no bound"},
    {"clustering:graph:balance", "0 to 1: how even the cluster weights must be"},
    {"clustering:graph:clusterSizeFactor",
     "above 1 favours fewer, larger clusters; below 1 more, smaller ones"},
    {"clustering:graph:constraintManager",
     "nodes that must share a cluster, be split, or form a cluster of their own"},
    {"disjointPaths:graph:nodeDisjointPaths",
     "1: the paths share no node but the start and finish; 0: they share no edge"},
    {"*:graph:sourceNode", "the node the flow leaves from"},
    {"*:graph:sinkNode", "the node the flow arrives at"},
    {"newCycleTest:graph:sourceNode", "the source of the edge that would be added"},
    {"newCycleTest:graph:targetNode", "the target of the edge that would be added"},
    {"*:node:capacity", "the most flow through the node"},
    {"*:edge:capacity", "the most flow along the edge"},
    {"minimumCostFlow:graph:desiredFlow",
     "the flow to send; when the network carries less, the most it can"},
    {"reachableNodes:graph:range",
     "the most a walk from the start may cost to reach a node; -1: no bound"},
    {"reachableNodes:graph:level",
     "the range under an older name, read only while no range is set (0: no bound)"},
    {"rootCause:graph:effectNodeList", "the nodes to explain (the symptoms)"},
    {"rootCause:graph:range", "the most a walk from a cause to an effect may cost; -1: no bound"},
    {"rootCause:graph:threshold", "0 to 1: the share of the effects' weight a cause must reach"},
    {"rootCause:node:weight", "the weight of an effect node"},
    {"treeTest:graph:directed",
     "1: edges keep their direction (rooted trees); 0: directions are ignored"},
    {"cycleBreakingEdgeDetection:graph:quality",
     "effort: CYCLEBREAKING_QUALITY_DRAFT, CYCLEBREAKING_QUALITY_MEDIUM or "
     "CYCLEBREAKING_QUALITY_PROOF"},

    // Results.
    {"errorCode", "the outcome: 0 when the request was answered, else an error code"},
    {"breadthFirstSearch:node:orderNumber", "the node's place in the visit, from 1"},
    {"depthFirstSearch:node:orderNumber", "the node's place in the visit, from 1"},
    {"depthFirstSearch:none:nodeList", "the visited nodes in the order visited"},
    {"breadthFirstSearch:none:nodeList", "the visited nodes in the order visited"},
    {"depthFirstSearch:node:completionNumber",
     "the node's place in the order the search finished nodes, from 1"},
    {"depthFirstSearch:node:parent", "the node the search reached this node from"},
    {"depthFirstSearch:edge:type", "how the search met the edge", Shape::named, nullptr,
     "EDGE_TYPE_NONE EDGE_TYPE_TREE EDGE_TYPE_BACK EDGE_TYPE_FORWARD EDGE_TYPE_CROSS"},
    {"topologicalSort:node:orderNumber", "the node's place in the order, from 1"},
    {"topologicalSort:none:nodeList", "the nodes in an order in which every edge leads forward"},
    {"*:node:componentNumber", "the number of the node's component, from 1"},
    {"biconnectedComponents:none:componentList",
     "the biconnected components (no node splits one), as node lists"},
    {"biconnectedComponents:none:articulationNodeList",
     "the nodes whose removal splits their component"},
    {"*:none:componentList", "the components, as node lists"},
    {"stronglyConnectedComponents:none:edgeComponentList", "the edges inside each component"},
    {"clustering:node:clusterNumber", "the number of the node's cluster, from 0"},
    {"clustering:none:clusterList", "the clusters, as node lists"},
    {"clustering:constraint:fulfilled", "true when the clusters keep the constraint"},
    {"pathExistsTest:none:pathExists", "true when a path leads from the start to the finish"},
    {"pathExistsTest:none:edgeList", "such a path", Shape::walk, "startNode"},
    {"uniquePathTest:none:uniquePathExists",
     "true when exactly one simple path leads from the start to the finish"},
    {"uniquePathTest:none:edgeList", "that path", Shape::walk, "startNode"},
    {"disjointPaths:none:numberOfDisjointPaths",
     "the most paths from the start to the finish that share no edge (or node)"},
    {"disjointPaths:none:pathList", "such paths, with the fewest edges in all", Shape::walks,
     "startNode"},
    {"reachableNodes:none:nodeList", "the nodes a walk from the start reaches within the range"},
    {"rootCause:none:causeNodeList", "the nodes that best explain the effects"},
    {"rootCause:node:reachedNodeList", "the effects the node reaches within the range"},
    {"shortestPaths:none:pathExists", "true when a walk leads from the start to the finish"},
    {"shortestPaths:none:edgeList", "a cheapest walk from the start to the finish", Shape::walk,
     "startNode"},
    {"shortestPaths:none:totalCost", "the cost of that walk"},
    {"allPairsShortestPaths:(KyNode,KyNode):lastEdge",
     "the last edge of a cheapest walk from the first node to the second"},
    {"allPairsShortestPaths:(KyNode,KyNode):totalCost", "the cost of that walk"},
    {"acyclicTest:none:acyclic", "true when the graph has no cycle"},
    {"topologicalSort:none:acyclic", "true when the graph has no cycle"},
    {"sortedPaths:none:acyclic", "true when the graph has no cycle"},
    {"newCycleTest:none:willCreateCycle",
     "true when an edge from the source to the target would close a cycle"},
    {"cycleBreakingEdgeDetection:none:edgeList",
     "edges whose removal leaves no cycle (self-loops aside)", Shape::cut},
    {"cycleBreakingEdgeDetection:none:reflexiveEdgeList", "the self-loops", Shape::cut},
    {"cycleBreakingEdgeDetection:edge:backward", "true on the edges to remove"},
    {"treeTest:none:tree", "true when the graph is a tree"},
    {"treeTest:none:forest", "true when the graph is a forest"},
    {"minimumSpanningTree:none:totalCost", "the summed cost of the tree edges"},
    {"minimumSpanningTree:none:treeEdgeList", "the edges of a cheapest spanning forest"},
    {"minimumSpanningTree:edge:treeEdge", "true on the tree edges"},
    {"*:edge:flow", "the flow along the edge"},
    {"*:none:totalFlow", "the flow from the source to the sink"},
    {"minimumCostFlow:none:totalCost", "the cost of that flow"},
    {"minimumCut:none:totalCost", "the summed cost of the cut edges"},
    {"minimumCut:none:edgeList", "a cheapest set of edges whose removal parts source and sink",
     Shape::cut},
    {"sortedPaths:none:pathExists", "true when a walk leads from the start to the finish"},
    {"sortedPaths:none:pathGraph", "the engine's path graph", Shape::helper},
    {"sortedPaths:none:rootNode", "the root of the path graph", Shape::helper},
    {"sortedPaths:node:sidetrackEdge", "a path-graph node's edge off the tree", Shape::helper},
    {"sortedPaths:edge:cost", "a path-graph edge's extra cost", Shape::helper},
    {"sortedPaths:edge:type", "a path-graph edge's kind", Shape::helper},
    {"sortedPaths:none:shortestPathLength",
     "the cost of a cheapest walk, the finish node's cost left out; 2147483647: none"},
    {"sortedPaths:node:treeEdge", "the first edge of a cheapest walk from the node to the finish"},
    {"sortedPaths:none:startNode", "the node the walks start from"},
    {"sortedPaths:none:finishNode", "the node the walks end at"},
    {"sortedPaths:none:finishNodeCost", "the finish node's cost"},
    {"sortedPaths:none:numberOfPaths",
     "how many walks lead from the start to the finish; -1: endlessly many"},
};

const Term kUnknown{"", ""};

} // namespace

const Term& termOf(const std::string& key) {
  const std::size_t colon = key.find(':');
  const std::string any = colon == std::string::npos ? key : "*" + key.substr(colon);
  for (const Term& term : kTerms)
    if (key == term.key)
      return term;
  for (const Term& term : kTerms)
    if (any == term.key)
      return term;
  return kUnknown;
}

std::string codeName(const Term& term, int code) {
  if (term.shape != Shape::named || code < 0)
    return "";
  std::istringstream names(term.names);
  std::string name;
  for (int i = 0; i <= code && names >> name; ++i)
    if (i == code)
      return name;
  return "";
}

Unit unitOf(const std::string& key) {
  const std::string name = key.substr(key.rfind(':') + 1);
  if (name == "totalCost")
    return key.rfind("minimumCostFlow:", 0) == 0 ? Unit::costTimesCapacity : Unit::cost;
  if (name == "shortestPathLength" || name == "finishNodeCost")
    return Unit::cost;
  return name == "flow" || name == "totalFlow" ? Unit::capacity : Unit::none;
}

} // namespace KyVocabulary
