// KyRequestListing: a request in words, one option a line.
#pragma once

#include <kyformats/KyFormatsExport.h>

#include <iosfwd>
#include <string>

class KyGraph;
class KyGraphNames;
class KyObject;
class KyServiceInputData;

namespace KyRequestListing {

/// Writes what `request` on `graph` holds: "operation: WORD (CODE)", "graph:
/// N nodes, M edges", then "options:" with one line per stored value, "KEY
/// OWNER VALUE", sorted by key and then owner, then "constraints:" with
/// every clustering constraint, its priority and whether it is fulfilled.
/// Nodes are named by their labels. O(v log v) for v values.
KYFORMATS_EXPORT void write(std::ostream& out, const KyGraph& graph,
                            const KyServiceInputData& request);

/// The value of an option as the document format writes it, nodes by
/// label, node lists as labels separated by blanks, a constraint manager
/// as its number of constraints.
KYFORMATS_EXPORT std::string optionText(const KyServiceInputData& request, const wchar_t* key,
                                        const KyObject* value, const KyGraphNames& names);

} // namespace KyRequestListing
