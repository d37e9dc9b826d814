// KyStoredEntry: one entry of a value store as its walk hands it. Internal
// to the platform library.
#pragma once

#include "KyOwnerIndex_p.h"
#include "KyPairTable_p.h"
#include "KyValueChunk_p.h"

#include <kyplatform/KyObject.h>

class KyGraph;

/// One entry of a KyValueStore, seen during KyValueStore::walk(): its key,
/// its owner and its value as the store keeps them. A member owner is its
/// graph and position, a pair owner its graph and two node positions, and
/// an integer the store made is a number: reading them makes no object.
/// owner() and value() hand out the objects, making a pair owner or an
/// integer's KyInt as KyServiceData::visitValues() does (kept while the
/// entry lives). Valid only within the call that hands it out.
class KyStoredEntry {
public:
  enum class Owner { none, object, node, edge, pair };

  const wchar_t* key() const { return key_; }
  /// How the owner is kept: none, an object (owner()), a node or an edge
  /// of graph() at first(), or the pair of nodes of graph() at first() and
  /// second().
  Owner ownerKind() const { return kind_; }
  const KyGraph* graph() const { return graph_; }
  int first() const { return first_; }
  int second() const { return second_; }
  /// Whether the value is an integer (one the store made, or a KyInt); if
  /// so `integer` gets it. Makes nothing. O(1).
  bool integer(int& integer) const;
  /// The owner object: null for none; a pair's is made on the first ask
  /// and kept while the entry lives.
  const KyObject* owner() const;
  /// The value object; an integer the store made gets its KyInt now, kept
  /// while the entry lives.
  KyObject* value() const;

private:
  friend class KyValueStore;

  const wchar_t* key_ = nullptr;
  Owner kind_ = Owner::none;
  const KyGraph* graph_ = nullptr;
  int first_ = 0;
  int second_ = 0;
  const KyObject* object_ = nullptr; // the owner of kind object
  // The value: a chunk's slot, or an indexed entry.
  const KyValueChunk* chunk_ = nullptr;
  int slot_ = 0;
  KyOwnerIndex::Entry* indexed_ = nullptr;
  // A pair's table, whose maker makes its owner.
  const KyPairTable* pairs_ = nullptr;
};
