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
/// edge costs O(1) amortized and no allocation of its own: members sit,
/// with the links of each, in blocks the graph owns, both edge lists of
/// every node linked by position in order of making. Not copyable.
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

  int numberOfNodes() const { return nodes_.count(); }
  int numberOfEdges() const { return edges_.count(); }
  /// The graph's own lists, in order of making; read-only. The first call
  /// makes a list, which then grows with the graph.
  const KyNodeDList* pNodeList() const;
  const KyEdgeDList* pEdgeList() const;
  /// The node, or edge, at `position`, which must be one. O(1).
  KyNode* pNodeAt(int position) const { return nodes_.at(position); }
  KyEdge* pEdgeAt(int position) const { return edges_.at(position); }
  /// How the node, or edge, at `position` is linked; the reference stays
  /// valid for the graph's life. O(1).
  const NodeLinks& nodeLinks(int position) const { return nodes_.links(position); }
  const EdgeLinks& edgeLinks(int position) const { return edges_.links(position); }

  std::size_t sizeOf() const override;

  static KyGraph* castDown(const KyObject* object) {
    return static_cast<KyGraph*>(const_cast<KyObject*>(object));
  }

private:
  friend class KyGraphMember;

  // Members in blocks of 1024, each next to its links (a new edge touches
  // both ends' and its neighbours' links), so that nothing ever moves.
  template <class Member, class Links> class Blocks {
  public:
    static constexpr int kShift = 10;
    static constexpr int kSize = 1 << kShift;

    int count() const { return count_; }
    Member* at(int position) const {
      return std::launder(reinterpret_cast<Member*>(slot(position).member));
    }
    Links& links(int position) const { return slot(position).links; }
    /// Room for the next member, whose links are set to `links`; the
    /// caller makes the member there.
    void* add(const Links& links) {
      const int position = count_;
      if ((position & (kSize - 1)) == 0)
        blocks_.emplace_back(new Slot[kSize]);
      slot(position).links = links;
      ++count_;
      return slot(position).member;
    }
    std::size_t bytes() const { return blocks_.size() * kSize * sizeof(Slot); }

  private:
    struct Slot {
      alignas(Member) unsigned char member[sizeof(Member)];
      Links links;
    };
    Slot& slot(int position) const {
      return blocks_[static_cast<std::size_t>(position >> kShift)]
                    [static_cast<std::size_t>(position & (kSize - 1))];
    }

    std::vector<std::unique_ptr<Slot[]>> blocks_;
    int count_ = 0;
  };

  /// The name of `member`, or null.
  const wchar_t* nameOf(const KyGraphMember& member) const;
  /// Gives `member` a copy of `name` (null: no name), kept in place of its
  /// former name when it fits.
  const wchar_t* name(const KyGraphMember& member, const wchar_t* name);

  Blocks<KyNode, NodeLinks> nodes_;
  Blocks<KyEdge, EdgeLinks> edges_;
  // Names by position, for each kind of member once one of them has a
  // name; their texts in blocks.
  std::vector<wchar_t*> nodeNames_, edgeNames_;
  std::vector<std::unique_ptr<wchar_t[]>> nameBlocks_;
  wchar_t* nameFree_ = nullptr; // free room in the current block
  std::size_t nameRoom_ = 0;
  mutable std::unique_ptr<KyNodeDList> nodeList_; // made by the first pNodeList()
  mutable std::unique_ptr<KyEdgeDList> edgeList_;
};
