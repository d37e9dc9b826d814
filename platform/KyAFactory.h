// KyAFactory: makes graphs.
#pragma once

#include <kyplatform/KyGraph.h>

/// Makes empty graphs, for readers that build a graph from stored input.
class KYPLATFORM_EXPORT KyAFactory : public KyObject {
public:
  /// A new empty graph; the caller owns it.
  KyGraph* newGraph() const { return new KyGraph; }
};
