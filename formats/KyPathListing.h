// KyPathListing: the cheapest paths of a sorted-paths answer, listed.
#pragma once

#include <kyformats/KyFormatsExport.h>

#include <iosfwd>
#include <memory>
#include <string>

class KyAnalysisRequest;
class KyServiceOutputData;

/// The cheapest paths from the start node to the finish node of a
/// sorted-paths request, cheapest first, rebuilt from the answer once.
/// Nodes are named by the request's labels. The request must outlive the
/// listing; the answer store may go once the listing is made. Not copyable.
class KYFORMATS_EXPORT KyPathListing {
public:
  /// At most `limit` paths of `output`, the answer to `request`, which
  /// names its start and finish nodes. O(limit times the path length) after
  /// the answer's own cost.
  KyPathListing(const KyAnalysisRequest& request, KyServiceOutputData& output, int limit);
  ~KyPathListing();
  KyPathListing(const KyPathListing&) = delete;
  KyPathListing& operator=(const KyPathListing&) = delete;

  /// {"from": node, "to": node, "paths": [{"nodes", "edges", "cost"}...]},
  /// indented by two, without a final line break; nodes and edges as
  /// KyAnswer::json() writes them. When the request's columns were read
  /// with a scale, "scale" comes before "paths" and the costs are divided
  /// by it.
  std::string json() const;
  /// One path a line, "a -> b -> c  (cost 7)", or "no path from a to c";
  /// after a line "scale: N (...)" when the columns were read with a scale.
  void writeText(std::ostream& out) const;

private:
  struct Model;
  std::unique_ptr<Model> model_;
};
