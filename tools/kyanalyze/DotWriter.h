// DotWriter: a graph in Graphviz form with an answer drawn on it.
#pragma once

#include "AnswerModel.h"

#include <iosfwd>

class KyGraph;
class KyServiceInputData;

namespace kyanalyze {

/// Writes `graph` as a Graphviz digraph with the answer answerJson() made
/// drawn on it: edge lists (paths, trees) in red, cut edges (minimum cut,
/// cycle-breaking edges) red and dashed, each list of a list of lists
/// (components, clusters, disjoint paths) in a colour of its own, other node
/// lists filled in gold, the paths of a sorted-paths answer in colours from
/// the cheapest on, per-edge numbers of the answer as edge labels ("flow
/// 2") after the request's own per-edge numbers (costs, capacities). Nodes
/// the request names (start, finish) get a bold outline; a request whose
/// undirected option is set draws edges without arrows. Nodes are named by
/// their names, so nodes sharing a name are drawn as one.
void writeDot(std::ostream& out, const KyGraph& graph, const KyServiceInputData& input,
              const Json& answer);

} // namespace kyanalyze
