// KyAnswerDrawing: a graph in Graphviz form with an answer drawn on it.
#pragma once

#include "KyAnswerModel_p.h"

#include <iosfwd>

class KyGraphNames;
class KyServiceInputData;

namespace KyAnswerDrawing {

/// Writes the graph as a Graphviz digraph with the answer answerJson() made
/// drawn on it: walks and edge lists (paths, trees) in red, cuts (minimum
/// cut, cycle-breaking edges) red and dashed, each list of a list of lists
/// (components, clusters, disjoint paths) in a colour of its own, other
/// node lists filled in gold, the paths of a sorted-paths answer in colours
/// from the cheapest on, the request's per-edge numbers and the answer's
/// per-edge numbers as edge labels ("cost 3, flow 2"). Nodes the request
/// names (start, finish) get a bold outline; an undirected request draws
/// edges without arrows. Nodes are named by their labels in `names`, so
/// distinct nodes stay distinct; twins are not drawn.
void write(std::ostream& out, const KyAnswerModel::AnsweredGraph& graph,
           const KyServiceInputData& input, const KyAnswerModel::Json& answer,
           const KyGraphNames& names);

} // namespace KyAnswerDrawing
