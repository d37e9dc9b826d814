// KyGraph: a directed graph that owns its nodes and edges.
#pragma once

#include <kyplatform/KyEdge.h>
#include <kyplatform/KyEdgeDList.h>
#include <kyplatform/KyNode.h>
#include <kyplatform/KyNodeDList.h>

#include <algorithm>
#include <cstddef>
#include <memory>
#include <new>
#include <vector>

/// Directed multigraph. The graph owns its nodes and edges and deletes them
/// with itself; members are never removed one by one. Adding a node or an
/// edge costs O(1) amortized and no allocation of its own: members and
/// their links sit in blocks the graph owns, both edge lists of every node
/// linked by position in order of making. Not copyable.
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
  /// New edges, edge i from the node at position `sources[i]` to the node
  /// at position `targets[i]`, made as addEdge() makes them one by one;
  /// returns the position of the first. Adds nothing and returns -1 when
  /// the lists differ in length or name a position that is no node's. The
  /// nodes themselves are not read, only their links: O(edges), the
  /// cheaper way to add many edges. Should an allocation throw, the edges
  /// already added are taken back before the exception leaves.
  int addEdges(const std::vector<int>& sources, const std::vector<int>& targets);

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
  /// valid until the next member of its kind is added. O(1).
  const NodeLinks& nodeLinks(int position) const { return nodes_.links(position); }
  const EdgeLinks& edgeLinks(int position) const { return edges_.links(position); }

  std::size_t sizeOf() const override;

  /// A token that lives as long as the graph: a weak reference to it tells
  /// whether the graph is still there, and while such a reference lives no
  /// other graph's token has the same address. Value stores key what they
  /// file by position with it, so that a graph made where a gone one was
  /// never shows the gone one's values. O(1).
  std::weak_ptr<const void> lifeToken() const { return life_; }
  const void* lifeAddress() const { return life_.get(); }

  static KyGraph* castDown(const KyObject* object) {
    return static_cast<KyGraph*>(const_cast<KyObject*>(object));
  }

private:
  friend class KyGraphMember;
  friend class KyGraphXMLReader;

  /// Removes the nodes from position `nodes` and the edges from position
  /// `edges` on, the newest members, as if they had never been made: a
  /// failed read takes back what it added. Every edge of a removed node
  /// must be among the removed edges. O(members removed), plus, when the
  /// graph's own lists were made, O(their length).
  void removeMembersFrom(int nodes, int edges);

  // Members in blocks that never move: 32, 32, 64, 128, 256 and 512 for
  // the first 1024 positions, so that a small graph stays small, then 1024
  // each. Their links lie apart, in blocks of 1024 of which the first grows
  // by doubling until full (links are plain numbers and may move), so that
  // a walk finds a position's links with one shift and one mask.
  template <class Member, class Links> class Blocks {
  public:
    static constexpr int kShift = 10;
    static constexpr int kSize = 1 << kShift;

    int count() const { return count_; }
    Member* at(int position) const {
      return std::launder(reinterpret_cast<Member*>(room(position)));
    }
    Links& links(int position) const {
      return links_[static_cast<std::size_t>(position >> kShift)]
                   [static_cast<std::size_t>(position & (kSize - 1))];
    }
    /// Room for the next member, whose links are set to `links`; the
    /// caller makes the member there. Either allocation may throw; each is
    /// made only while still due, so a throw leaves nothing to undo. Past
    /// the first kSize positions both blocks of a position start at a
    /// multiple of kSize: inside them the room and the links are found at
    /// once, and only a block's first position takes the longer way.
    void* add(const Links& links) {
      const auto position = static_cast<unsigned>(count_);
      const unsigned offset = position & (kSize - 1);
      if (position < kSize || offset == 0)
        return addStartingBlock(links);
      ++count_;
      links_[position >> kShift][offset] = links;
      return rooms_[kSmallBlocks + (position >> kShift)][offset].bytes;
    }
    std::size_t bytes() const {
      return firstOf(rooms_.size()) * sizeof(Room) + linksRoom_ * sizeof(Links);
    }
    /// Forgets the newest member, which the caller has destroyed; its room
    /// is kept for the next one.
    void removeLast() { --count_; }

  private:
    static constexpr int kFirstShift = 5;
    // Block kSmallBlocks + k starts at position k * kSize, for k >= 1.
    static constexpr int kSmallBlocks = kShift - kFirstShift;

    struct Room {
      alignas(Member) unsigned char bytes[sizeof(Member)];
    };
    // add() where a block may be due: among the first kSize positions, or
    // at the first position of a block.
    void* addStartingBlock(const Links& links) {
      const int position = count_;
      const std::size_t block = blockOf(static_cast<unsigned>(position));
      if (block == rooms_.size())
        rooms_.push_back(std::unique_ptr<Room[]>(new Room[firstOf(block + 1) - firstOf(block)]));
      if (static_cast<unsigned>(position) == linksRoom_)
        growLinks();
      ++count_;
      this->links(position) = links;
      return room(position);
    }
    // The member block of `position`, and the first position of `block`.
    static std::size_t blockOf(unsigned position) {
      if (position >= kSize)
        return kSmallBlocks + (position >> kShift);
      if (position < 1u << kFirstShift)
        return 0;
      const int top = 31 - __builtin_clz(position); // the block starts at 2^top
      return static_cast<std::size_t>(top - kFirstShift + 1);
    }
    static unsigned firstOf(std::size_t block) {
      if (block > kSmallBlocks)
        return static_cast<unsigned>(block - kSmallBlocks) << kShift;
      return block == 0 ? 0 : 1u << (block + kFirstShift - 1);
    }
    // The room of the member at `position`.
    unsigned char* room(int position) const {
      const auto at = static_cast<unsigned>(position);
      const std::size_t block = blockOf(at);
      return rooms_[block][at - firstOf(block)].bytes;
    }
    // Links for twice as many positions while fewer than kSize, else for
    // kSize more.
    void growLinks() {
      if (linksRoom_ >= kSize) {
        links_.push_back(std::unique_ptr<Links[]>(new Links[kSize]));
        linksRoom_ += kSize;
        return;
      }
      const unsigned size = linksRoom_ == 0 ? 1u << kFirstShift : 2 * linksRoom_;
      std::unique_ptr<Links[]> grown(new Links[size]);
      if (links_.empty()) {
        links_.push_back(std::move(grown));
      } else {
        std::copy_n(links_[0].get(), linksRoom_, grown.get());
        links_[0] = std::move(grown);
      }
      linksRoom_ = size;
    }

    std::vector<std::unique_ptr<Room[]>> rooms_;
    std::vector<std::unique_ptr<Links[]>> links_;
    unsigned linksRoom_ = 0; // links the blocks hold
    int count_ = 0;
  };

  /// addEdge() for two nodes known to be this graph's, by position.
  KyEdge* linkEdge(int source, int target);
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
  std::shared_ptr<const char> life_ = std::make_shared<const char>(0);
};
