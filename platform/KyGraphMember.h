// KyGraphMember: what nodes and edges have in common.
#pragma once

#include <kyplatform/KyObject.h>

class KyGraph;

/// A node or an edge: it belongs to one graph, has a position in it and may
/// carry a text name, which the graph keeps. Members are made and deleted
/// by their graph only, in blocks it owns, so their addresses stay put for
/// the graph's life.
class KYPLATFORM_EXPORT KyGraphMember : public KyObject {
public:
  KyGraphMember(const KyGraphMember&) = delete;
  KyGraphMember& operator=(const KyGraphMember&) = delete;

  KyGraph* pOwnerGraph() const { return graph_; }
  /// Position among the graph's nodes (or edges), from 0 in order of making.
  int index() const { return index_; }
  /// The name, or null when the member has none. O(1).
  const wchar_t* pName() const;
  /// Sets the name (the graph keeps a copy); null removes it. Returns
  /// pName(). The text of an earlier name is reused when the new one fits
  /// in it; otherwise it is kept until the graph goes.
  const wchar_t* pName(const wchar_t* name);
  /// Does nothing: a member lives exactly as long as its graph, whatever
  /// lists or stores refer to it.
  void vRelease() override {}

  static KyGraphMember* castDown(const KyObject* object) {
    return static_cast<KyGraphMember*>(const_cast<KyObject*>(object));
  }

protected:
  KyGraphMember(KyGraph* graph, int index) : index_(index), graph_(graph) {}
  ~KyGraphMember() override;

private:
  int index_; // first, so that it may share the root's last word
  KyGraph* graph_;
};
