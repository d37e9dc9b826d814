// GraphNames: how the tool names nodes and edges, and finds nodes by name.
#pragma once

#include <map>
#include <string>
#include <vector>

class KyEdge;
class KyGraph;
class KyNode;
class KyObject;

namespace kyanalyze {

/// A graph member by its name, else by kind and position ("node 3",
/// "edge 0"); "graph" for a graph and "-" for null.
std::string memberName(const KyObject* object);
/// An edge as "source -> target", by the names of its nodes.
std::string edgeName(const KyEdge* edge);

/// The names of the nodes of `nodes` (a node list), separated by spaces.
std::string nodeNames(const KyObject* nodes);
/// A clustering constraint as its type and its nodes ("sameCluster: a b").
std::string constraintName(const KyObject* constraint);
/// The word of a clustering constraint type ("sameCluster").
const char* constraintTypeName(int type);

/// The nodes of a graph by the names memberName() gives them.
class NodeFinder {
public:
  explicit NodeFinder(const KyGraph& graph);
  /// The node called `name`; null, with one line in `error`, when no node
  /// or more than one node has that name.
  KyNode* find(const std::string& name, std::string& error) const;

private:
  std::map<std::string, std::vector<KyNode*>> nodes_;
};

} // namespace kyanalyze
