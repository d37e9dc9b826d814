// KyGraphMember: what nodes and edges have in common.
#pragma once

#include <kyplatform/KyObject.h>

#include <memory>
#include <string>

class KyGraph;

/// A node or an edge: it belongs to one graph, has a position in it and may
/// carry a text name. Members are made and deleted by their graph only.
class KYPLATFORM_EXPORT KyGraphMember : public KyObject {
public:
  KyGraphMember(const KyGraphMember&) = delete;
  KyGraphMember& operator=(const KyGraphMember&) = delete;

  KyGraph* pOwnerGraph() const { return graph_; }
  /// Position among the graph's nodes (or edges), from 0 in order of making.
  int index() const { return index_; }
  /// The name, or null when the member has none.
  const wchar_t* pName() const { return name_ ? name_->c_str() : nullptr; }
  /// Sets the name (a copy is kept); null removes it. Returns pName().
  const wchar_t* pName(const wchar_t* name);
  /// Does nothing: a member lives exactly as long as its graph, whatever
  /// lists or stores refer to it.
  void vRelease() override {}

  static KyGraphMember* castDown(const KyObject* object) {
    return static_cast<KyGraphMember*>(const_cast<KyObject*>(object));
  }

protected:
  KyGraphMember(KyGraph* graph, int index) : graph_(graph), index_(index) {}
  ~KyGraphMember() override;

private:
  KyGraph* graph_;
  int index_;
  std::unique_ptr<std::wstring> name_;
};
