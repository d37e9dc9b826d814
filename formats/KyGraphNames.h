// KyGraphNames: how the formats name the nodes and edges of a graph,
// keeping distinct nodes distinct, and find nodes by name.
#pragma once

#include <kyformats/KyFormatsExport.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class KyEdge;
class KyGraph;
class KyNode;
class KyObject;

/// One label per node of a graph, unique within it: the node's name
/// (control characters escaped), or "node N" by position for a node
/// without one. Where several nodes would share a label, each of them gets
/// "#N" appended, N its position ("a#0", "a#3"), again while that meets
/// another label; a label only one node has stays. Built in O(n) on
/// average; the labels sit in one text with an offset each, found through
/// an open-addressing table of positions, about 4 bytes per node beyond
/// their text and offsets. The graph must outlive the labels and not gain
/// nodes while they are used.
class KYFORMATS_EXPORT KyGraphNames {
public:
  explicit KyGraphNames(const KyGraph& graph);

  /// The label of `node`, a node of the graph. O(length).
  std::string node(const KyNode* node) const;
  /// The label of the node at `position`; std::out_of_range when no node
  /// of the graph, as the labels were made, is there.
  std::string node(int position) const;
  /// An edge as "source -> target" by the labels of its ends.
  std::string edge(const KyEdge* edge) const;
  /// A node by its label, an edge by its own name or as "edge N (a -> b)",
  /// the graph as "graph", null as "-".
  std::string member(const KyObject* object) const;
  /// The nodes of a node list, separated by blanks.
  std::string nodeList(const KyObject* nodes) const;
  /// A clustering constraint as its type and its nodes ("sameCluster: a b").
  std::string constraint(const KyObject* constraint) const;

  /// The node a person means by `name`: the node with that label, else the
  /// one node with that name. Null, with one line in `error`, when no node
  /// or several nodes have it (the line lists their labels). O(1) on
  /// average for a label, O(n) for a name that is none.
  KyNode* find(const std::string& name, std::string& error) const;

  /// A node's own name as UTF-8, or "" when it has none.
  static std::string nameOf(const KyNode* node);
  /// The word of a clustering constraint type ("sameCluster").
  static const char* constraintType(int type);

private:
  std::string_view label(std::size_t position) const {
    return std::string_view(text_).substr(start_[position],
                                          start_[position + 1] - start_[position]);
  }
  /// Fills the table with every position; false when two labels meet, the
  /// nodes that do marked in `meets`.
  bool index(std::vector<char>& meets);
  /// The slot of `label` in the table: the one holding its position, or
  /// the empty one where it would go.
  std::size_t slotOf(std::string_view label) const;

  const KyGraph* graph_;
  std::string text_;                // every label, one after another
  std::vector<std::size_t> start_;  // label i is text_[start_[i], start_[i + 1])
  std::vector<std::int32_t> slots_; // positions by label hash, -1 free; at most half full
};
