"""Graph: the caller's graph as the engine reads it, with the caller's keys."""

import numpy as np

from . import _catalog, _kyanalysis

# The attribute names read from a NetworkX graph unless told otherwise: the
# per-node and per-edge options of every analysis, by their own words.
_MEMBER_WORDS = {
    scope: sorted({w for a in _catalog.ANALYSES.values() for w in a.member_options(scope)})
    for scope in ("node", "edge")
}


def _integer_array(value, name):
    array = np.asarray(value)
    if array.size == 0 and array.ndim == 1:
        return np.zeros(0, dtype=np.int64)
    if array.dtype.kind not in "iu":
        raise TypeError(f"{name} must be an integer array, not {array.dtype}")
    if array.ndim != 1:
        raise ValueError(f"{name} must be one-dimensional, not of shape {array.shape}")
    return np.ascontiguousarray(array, dtype=np.int64)


class Graph:
    """A graph the engine runs on: nodes and edges in a fixed order, each
    known by the caller's own key, with per-node and per-edge integer
    values by name.

    Make one with ``Graph.from_networkx``, ``Graph.from_arrays`` or
    ``read_graph``; ``run`` also takes a NetworkX graph directly. A Graph is
    a snapshot: it never changes, and later changes to the NetworkX graph
    it came from do not reach it.

    Node keys are the NetworkX nodes, the names of a graph file, or for
    arrays the given keys (positions 0..n-1 by default). Edges are
    ``(u, v, key)`` triples: ``key`` is the multigraph key, the edge's
    position for arrays and files, None for a NetworkX Graph or DiGraph.
    """

    def __init__(self, core, nodes, *, directed=True, keys=None, index=None, node_values=None,
                 edge_values=None, attributes=None, source=None):
        self._core = core
        self.nodes = nodes
        self.directed = directed
        self._keys = keys
        self._index = index
        self._values = {"node": dict(node_values or {}), "edge": dict(edge_values or {})}
        self._attributes = attributes or {"node": {}, "edge": {}}
        self._source = source
        self._source_nodes = len(source) if source is not None else None
        self._ends = None
        self._edge_index = None

    # ---- making ----

    @classmethod
    def from_networkx(cls, graph, node_attributes=None, edge_attributes=None):
        """The NetworkX `graph` (Graph, DiGraph, MultiGraph or MultiDiGraph)
        in its own node and edge order.

        Per-node and per-edge values come from attributes: by default those
        named like an option (``cost``, ``capacity``, ``undirected``,
        ``weight``); `node_attributes` and `edge_attributes` map option
        names to attribute names instead (``edge_attributes={"cost":
        "weight"}``), or list attribute names to read as they are. Values
        must be integers (Booleans and integral floats count). O(n + m),
        without a Python call per edge.
        """
        return cls._read(graph, node_attributes, edge_attributes, _MEMBER_WORDS)

    @classmethod
    def _read(cls, graph, node_attributes, edge_attributes, words):
        """from_networkx() reading, besides the mapped attributes, those
        named like the words of `words` ({scope: [words]}) only."""
        mapping = {"node": _mapping(node_attributes), "edge": _mapping(edge_attributes)}
        names = {
            scope: sorted(set(mapping[scope].values()) | set(words[scope]))
            for scope in ("node", "edge")
        }
        read = _kyanalysis.networkx(graph, names["node"], names["edge"])
        return cls(read["graph"], read["nodes"], directed=read["directed"],
                   keys=read["keys"] if read["multigraph"] else None, index=read["index"],
                   node_values=read["node_values"], edge_values=read["edge_values"],
                   attributes=mapping, source=graph)

    @classmethod
    def from_arrays(cls, sources, targets, nodes=None, *, node_values=None, edge_values=None,
                    directed=True):
        """Edge i from ``sources[i]`` to ``targets[i]``, both integer
        arrays (NumPy, or anything ``numpy.asarray`` takes) of node
        positions.

        `nodes` is the number of nodes (default: one past the largest
        position), or a sequence of node keys, positions indexing it.
        `node_values` and `edge_values` map names (``cost``) to integer
        arrays by position. The arrays are read as they are, without a
        Python call per element (int64 arrays without a copy).
        """
        sources = _integer_array(sources, "sources")
        targets = _integer_array(targets, "targets")
        if len(sources) != len(targets):
            raise ValueError(f"{len(sources)} sources but {len(targets)} targets")
        keys = None
        if nodes is None:
            count = int(max(sources.max(initial=-1), targets.max(initial=-1))) + 1
        elif isinstance(nodes, (int, np.integer)) and not isinstance(nodes, bool):
            count = int(nodes)
        else:
            keys = list(nodes)
            count = len(keys)
        core = _kyanalysis.Graph(count, sources, targets)
        index = None
        if keys is not None:
            index = {key: i for i, key in enumerate(keys)}
            if len(index) != count:
                raise ValueError("the node keys are not distinct")
        graph = cls(core, keys if keys is not None else range(count), directed=directed,
                    keys=range(len(sources)), index=index)
        graph._ends = (sources, targets)
        for scope, values in (("node", node_values), ("edge", edge_values)):
            size = count if scope == "node" else len(sources)
            for name, column in (values or {}).items():
                array = graph._member_array(column, scope, name, 0)
                graph._values[scope][name] = (array, np.ones(size, dtype=bool))
        return graph

    # ---- reading ----

    @property
    def number_of_nodes(self):
        return self._core.nodes

    @property
    def number_of_edges(self):
        return self._core.edges

    @property
    def edges(self):
        """Every edge as ``(u, v, key)``, in the graph's order."""
        return [self.edge(i) for i in range(self._core.edges)]

    def ends(self):
        """The positions of the edges' sources and targets, two arrays."""
        if self._ends is None:
            self._ends = self._core.ends()
        return self._ends

    def edge(self, position):
        """The edge at `position` as ``(u, v, key)``."""
        sources, targets = self.ends()
        key = self._keys[position] if self._keys is not None else None
        return (self.nodes[sources[position]], self.nodes[targets[position]], key)

    def values(self, scope, name):
        """The integers named `name` on the nodes (`scope` "node") or edges,
        as (values, present) arrays by position; None when no member has
        any. A NetworkX graph's attribute not read at first is read now."""
        found = self._values[scope].get(name)
        if found is None and self._source is not None and name not in self._attributes[scope]:
            self._check_source()
            wanted = ([name], []) if scope == "node" else ([], [name])
            read = _kyanalysis.networkx(self._source, *wanted)
            found = read[scope + "_values"].get(name)
            self._attributes[scope][name] = name
            if found is not None:
                self._values[scope][name] = found
        return found

    def option_values(self, scope, word):
        """The values an option named `word` takes from the graph by
        itself: those of the attribute it is mapped to, else those of its
        own name. None when there are none."""
        name = self._attributes[scope].get(word, word)
        return self._values[scope].get(name)

    def position(self, node, what="node"):
        """The position of the node whose key is `node`; ValueError when
        the graph has none."""
        try:
            if self._index is not None:
                found = self._index.get(node)
            elif isinstance(node, (int, np.integer)) and not isinstance(node, bool):
                found = int(node) if 0 <= node < self._core.nodes else None
            else:
                found = None
        except TypeError:
            raise TypeError(f"{what}: {node!r} cannot be a node key (unhashable)") from None
        if found is None:
            raise ValueError(f"{what}: node {node!r} is not in the graph")
        return found

    def edge_position(self, edge, what="edge"):
        """The position of `edge`, given as ``(u, v, key)`` or ``(u, v)``
        (the first such edge); either direction for an undirected graph."""
        if self._edge_index is None:
            sources, targets = self.ends()
            index = {}
            for i in range(len(sources) - 1, -1, -1):
                u, v, key = self.edge(i)
                pairs = [(u, v)] if self.directed else [(u, v), (v, u)]
                for a, b in pairs:
                    index[(a, b, key)] = i
                    index[(a, b)] = i
            self._edge_index = index
        try:
            found = self._edge_index.get(tuple(edge)) if isinstance(edge, tuple) else None
        except TypeError:
            found = None
        if found is None:
            raise ValueError(f"{what}: edge {edge!r} is not in the graph")
        return found

    def _member_array(self, value, scope, name, default):
        """`value` as an int32 array over the nodes or edges: a dict by key
        (others get `default`), or a sequence by position."""
        size = self._core.nodes if scope == "node" else self._core.edges
        if isinstance(value, dict):
            array = np.full(size, default, dtype=np.int32)
            for key, each in value.items():
                at = self.position(key, name) if scope == "node" else self.edge_position(key, name)
                array[at] = _kyanalysis.integer(each, f"{name} of {scope} {key!r}")
            return array
        array = np.asarray(value)
        if array.ndim != 1 or array.shape[0] != size:
            raise ValueError(f"{name}: {size} values expected, one per {scope}, "
                             f"not an array of shape {array.shape}")
        if array.dtype.kind == "f":
            if not np.all(np.isfinite(array)) or not np.all(np.floor(array) == array):
                raise TypeError(f"{name}: the values must be integers")
        elif array.dtype.kind not in "iub":
            raise TypeError(f"{name}: the values must be integers, not {array.dtype}")
        if size and array.dtype.kind != "b":
            low, high = array.min(), array.max()
            if low < -2**31 or high > 2**31 - 1:
                raise ValueError(f"{name}: the values must fit in 32 bits")
        return np.ascontiguousarray(array, dtype=np.int32)

    def _check_source(self):
        """RuntimeError when the NetworkX graph this came from has gained or
        lost nodes since."""
        if self._source is not None and len(self._source) != self._source_nodes:
            raise RuntimeError("the NetworkX graph changed after it was read; read it again")

    def _check_edges(self, positions):
        """RuntimeError when the NetworkX graph this came from has lost one
        of the edges at `positions`, or nodes, since it was read."""
        self._check_source()
        if self._source is None:
            return
        for position in positions:
            u, v, key = self.edge(position)
            present = (self._source.has_edge(u, v, key) if self._keys is not None
                       else self._source.has_edge(u, v))
            if not present:
                raise RuntimeError(f"the NetworkX graph changed after it was read: edge "
                                   f"{(u, v, key)!r} is gone")

    def __repr__(self):
        kind = "directed" if self.directed else "undirected"
        return f"<kyanalysis.Graph, {kind}, {self._core.nodes} nodes, {self._core.edges} edges>"


def _mapping(attributes):
    if attributes is None:
        return {}
    if isinstance(attributes, str):
        return {attributes: attributes}
    if isinstance(attributes, dict):
        return dict(attributes)
    return {name: name for name in attributes}


def read_graph(path, format=None, delimiter=None):
    """The graph of the file `path`: an edge list (columns named by a
    header become per-edge values, a node table's per-node values), GraphML
    or an analysis document (its graph only). `format` is "edgelist",
    "graphml", "document" or None to tell by the name and content;
    `delimiter` the field separator of an edge list (None: detected, " "
    for blanks). Nodes are known by their labels, edges by their position.
    ValueError, with the file and line, when it cannot be read.
    """
    if delimiter is not None and (not isinstance(delimiter, str) or len(delimiter) != 1):
        raise ValueError("the delimiter is one character")
    read = _kyanalysis.read_file(str(path), format or "", delimiter or "\0")
    nodes = read["nodes"]
    graph = Graph(read["graph"], nodes, directed=not read["undirected"],
                  keys=range(read["graph"].edges), index={n: i for i, n in enumerate(nodes)},
                  node_values=read["node_values"], edge_values=read["edge_values"])
    return graph
