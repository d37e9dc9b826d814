// KyPythonNetworkx: a NetworkX graph read into edge arrays in one pass over
// its dictionaries, without a Python call per edge.
#pragma once

#include <pybind11/pybind11.h>

#include <string>
#include <vector>

namespace KyPythonNetworkx {

/// Reads `graph` (Graph, DiGraph, MultiGraph or MultiDiGraph) in its own
/// order: nodes as iterating it gives them, edges as its edges() gives them
/// (each undirected edge once). Returns a dict with "graph" (a
/// KyPythonGraph), "nodes" (the node keys, a list), "index" (a dict from
/// node key to position), "keys" (the multigraph edge keys by edge
/// position, or None), "directed", "multigraph", and "node_values" and
/// "edge_values": for each name of `nodeAttributes` and `edgeAttributes`
/// that some member carries, (values, present), two NumPy arrays by
/// position, int32 and bool. Raises TypeError for an attribute value that
/// is no integer (Booleans and integral floats count) and ValueError for
/// one outside 32 bits, naming the member. O(n + m) with the GIL held.
pybind11::dict read(const pybind11::object& graph, const std::vector<std::string>& nodeAttributes,
                    const std::vector<std::string>& edgeAttributes);

/// `value` as a 32-bit integer, as read() takes attribute values; on a
/// value that does not fit, raises TypeError or ValueError with `what`
/// ("edge ('a', 'b'): its 'cost'") before the reason.
int integer(PyObject* value, const std::string& what);

} // namespace KyPythonNetworkx
