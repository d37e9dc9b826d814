// KyPositionColumn: one key's values on the nodes, or the edges, of one
// graph by position. Internal to the platform library.
#pragma once

#include "KyGraphKey_p.h"
#include "KyValueChunk_p.h"

#include <kyplatform/KyEdge.h>
#include <kyplatform/KyNode.h>

#include <cstddef>
#include <memory>
#include <typeinfo>
#include <vector>

/// One key's entries for owners of one kind of place in one graph: the
/// nodes, or the edges, by position, in chunks of 64 slots made when first
/// filled.
struct KyPositionColumn : KyGraphKey {
  KyPositionColumn(const KyGraph* graph, KyOwnerPlace::Kind kind)
      : KyGraphKey(graph), kind(kind),
        memberClass(kind == KyOwnerPlace::KY_PLACE_EDGE ? typeid(KyEdge) : typeid(KyNode)) {}

  /// Whether the column surely files `member`'s values: a member of its
  /// graph and of its kind. Nodes and edges have no subclasses, so the
  /// member's class tells its kind; the class records are compared by
  /// address only, which never confuses two classes. Where a member is not
  /// surely held, the general path decides.
  bool holds(const KyGraphMember& member) const {
    return is(member.pOwnerGraph()) && &typeid(member) == &memberClass;
  }

  /// What the slot of `position` reads as an integer, as
  /// KyValueChunk::integer() says; false when it holds no value.
  bool integerAt(int position, int& integer) const {
    const auto at = static_cast<std::size_t>(position >> KyValueChunk::kShift);
    const KyValueChunk* chunk = at < chunks.size() ? chunks[at].get() : nullptr;
    return chunk != nullptr && chunk->integer(position & (KyValueChunk::kSize - 1), integer);
  }

  KyOwnerPlace::Kind kind;
  const std::type_info& memberClass;
  std::vector<std::unique_ptr<KyValueChunk>> chunks;
  std::size_t count = 0;
};
