// KyGraph: a directed graph that owns its nodes and edges.
#pragma once

#include <kyplatform/KyEdge.h>
#include <kyplatform/KyEdgeDList.h>
#include <kyplatform/KyNode.h>
#include <kyplatform/KyNodeDList.h>

#include <cstddef>
#include <memory>
#include <new>
#include <vector>

/// Directed multigraph. The graph owns its nodes and edges and deletes them
/// with itself; members are never removed one by one. Adding a node or an
/// edge costs O(1) amortized and no allocation of its own: members sit in
/// blocks the graph owns, and both edge lists of every node are linked
/// through arrays indexed by position. Not copyable.
class KYPLATFORM_EXPORT KyGraph : public KyObject {
public:
  /// How an edge is linked, by position: its two ends, and its neighbours
  /// in the outgoing list of its source and the incoming list of its target
  /// (-1 where there is none).
  struct EdgeLinks {
    int source, target;
    int nextOut, previousOut, nextIn, previousIn;
  };
  /// The ends of a node's outgoing and incoming lists, by position (-1 when
  /// empty), and their lengths.
  struct NodeLinks {
    int firstOut, lastOut, firstIn, lastIn;
    int outCount, inCount;
  };

  KyGraph() = default;
  ~KyGraph() override;
  KyGraph(const KyGraph&) = delete;
  KyGraph& operator=(const KyGraph&) = delete;

  /// A new node of this graph.
  KyNode* addNode();
  /// A new edge from `source` to `target`; null (and nothing added) when
  /// either is null or belongs to another graph.
  KyEdge* addEdge(KyNode* source, KyNode* target);

  int numberOfNodes() const { return static_cast<int>(nodeLinks_.size()); }
  int numberOfEdges() const { return static_cast<int>(edgeLinks_.size()); }
  /// The graph's own lists, in order of making; read-only. The first call
  /// makes a list, which then grows with the graph.
  const KyNodeDList* pNodeList() const;
  const KyEdgeDList* pEdgeList() const;
  /// The node, or edge, at `position`, which must be one. O(1).
  KyNode* pNodeAt(int position) const { return nodes_.at(position); }
  KyEdge* pEdgeAt(int position) const { return edges_.at(position); }
  /// How the node, or edge, at `position` is linked; valid until the next
  /// member is added. O(1).
  const NodeLinks& nodeLinks(int position) const {
    return nodeLinks_[static_cast<std::size_t>(position)];
  }
  const EdgeLinks& edgeLinks(int position) const {
    return edgeLinks_[static_cast<std::size_t>(position)];
  }

  std::size_t sizeOf() const override;

  static KyGraph* castDown(const KyObject* object) {
    return static_cast<KyGraph*>(const_cast<KyObject*>(object));
  }

private:
  friend class KyGraphMember;

  // Room for members in blocks of 1024, so that a member never moves.
  template <class Member> class Blocks {
  public:
    static constexpr int kShift = 10;
    static constexpr int kSize = 1 << kShift;

    Member* at(int position) const {
      unsigned char* block = blocks_[static_cast<std::size_t>(position >> kShift)].get();
      return std::launder(
          reinterpret_cast<Member*>(block + (position & (kSize - 1)) * sizeof(Member)));
    }
    /// Room for the member at `position`, the next one.
    void* room(int position) {
      if ((position & (kSize - 1)) == 0)
        blocks_.emplace_back(new unsigned char[kSize * sizeof(Member)]);
      return blocks_.back().get() + (position & (kSize - 1)) * sizeof(Member);
    }
    std::size_t bytes() const { return blocks_.size() * kSize * sizeof(Member); }

  private:
    std::vector<std::unique_ptr<unsigned char[]>> blocks_;
  };

  /// A copy of `name` in the name store, in place of `old` when it fits.
  wchar_t* keepName(const wchar_t* name, wchar_t* old);

  Blocks<KyNode> nodes_;
  Blocks<KyEdge> edges_;
  std::vector<NodeLinks> nodeLinks_;
  std::vector<EdgeLinks> edgeLinks_;
  std::vector<std::unique_ptr<wchar_t[]>> names_; // blocks of name texts
  wchar_t* nameFree_ = nullptr;                   // free room in the current block
  std::size_t nameRoom_ = 0;
  mutable std::unique_ptr<KyNodeDList> nodeList_; // made by the first pNodeList()
  mutable std::unique_ptr<KyEdgeDList> edgeList_;
};
