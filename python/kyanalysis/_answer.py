"""Answer: the results of one run on the caller's own node and edge keys."""

from collections import namedtuple

import numpy as np

from ._catalog import snake

Walk = namedtuple("Walk", "cost nodes edges")
Walk.__doc__ = """One walk: its cost, its nodes from start to finish and its
edges as (u, v, key), each oriented the way the walk goes."""

# Edge-list results that are walks from the start node: their edges are
# oriented along the walk.
_WALKS = {"shortestPaths:none:edgeList", "pathExistsTest:none:edgeList",
          "uniquePathTest:none:edgeList", "disjointPaths:none:pathList"}


class Answer:
    """The answer of one analysis. Each result is an attribute named by its
    key's last word in snake case (``total_cost``, ``edge_list``,
    ``order_number``); ``names`` lists them.

    - Booleans and integers as such (None when the answer holds none);
    - nodes as the caller's keys, edges as ``(u, v, key)`` (edges of walks
      turned the way the walk goes);
    - per-node and per-edge results as dicts over the members that have one
      (``array(name)`` gives them as a NumPy array by position instead);
    - all-pairs results as dicts keyed by ``(from, to)``;
    - clustering's per-constraint results as a list, in the order given.

    A sorted-paths answer also has ``walks()``.
    """

    def __init__(self, analysis, graph, core, start):
        self.analysis = analysis.word
        self.graph = graph
        self._spec = analysis
        self._core = core
        self._start = start
        self._raw = core.results()
        self._types = {}
        for item in analysis.results:
            word = item["key"].rsplit(":", 1)[-1]
            if word in self._raw:
                self._types[snake(word)] = (word, item)
        self._cache = {}

    @property
    def names(self):
        """The names of the results this answer holds."""
        return sorted(self._types)

    def __dir__(self):
        return sorted(set(super().__dir__()) | set(self._types))

    def __getattr__(self, name):
        types = self.__dict__.get("_types", {})
        if name not in types:
            raise AttributeError(f"a {self.__dict__.get('analysis', '')} answer has no result "
                                 f"{name!r}; its results: " + ", ".join(sorted(types)))
        if name not in self._cache:
            word, item = types[name]
            self._cache[name] = self._convert(self._raw[word], item)
        return self._cache[name]

    def as_dict(self):
        """Every result by name."""
        return {name: getattr(self, name) for name in self._types}

    def array(self, name, fill=0):
        """A per-node or per-edge integer result as a NumPy array by
        position, `fill` where a member has none."""
        if name not in self._types:
            getattr(self, name)
        word, item = self._types[name]
        raw = self._raw[word]
        if item["ownerType"] not in ("KyNode", "KyEdge") or not isinstance(raw, tuple):
            raise TypeError(f"{name} is no per-node or per-edge integer result")
        values, present = raw
        return np.where(present, values, fill)

    def walks(self):
        """The walks of a sorted-paths answer from start to finish, cheapest
        first, as a lazy iterator of Walk. Each step costs O(log of the
        walks held back) plus the walk's length. For a graph read from
        NetworkX, each step first checks that the graph still has as many
        nodes and every edge of the walk: RuntimeError when not."""
        if self.analysis != "sortedPaths":
            raise TypeError("walks() belong to a sortedPaths answer")
        return self._walks()

    def _walks(self):
        for cost, positions in self._core.walks():
            self.graph._check_edges(positions)
            nodes, edges = self._walk(self._start, positions)
            yield Walk(int(cost), nodes, edges)

    def path(self, start, finish):
        """All-pairs answers: the edges of a cheapest walk from `start` to
        `finish`, rebuilt from the last edges; None when no walk joins
        them."""
        if self.analysis != "allPairsShortestPaths":
            raise TypeError("path() belongs to an allPairsShortestPaths answer")
        graph = self.graph
        begin = graph.position(start, "start")
        end = graph.position(finish, "finish")
        costs, last = self._pairs("totalCost"), self._pairs("lastEdge")
        if (begin, end) not in costs:
            return None
        sources, targets = graph.ends()
        positions = []
        at = end
        while (begin, at) in last and (at != begin or not positions):
            edge = last[(begin, at)]
            positions.append(edge)
            at = int(sources[edge]) if int(targets[edge]) == at else int(targets[edge])
            if len(positions) > graph.number_of_edges:
                break
        positions.reverse()
        return self._walk(begin, positions)[1]

    # ---- conversion ----

    def _pairs(self, word):
        """The pair result `word` ("totalCost" or "lastEdge") by pairs of
        positions."""
        if word not in self._cache:
            start, end, values = (a.tolist() for a in self._raw[word])
            self._cache[word] = dict(zip(zip(start, end), values))
        return self._cache[word]

    def _walk(self, start, positions):
        """Nodes and oriented edges of the walk along `positions` from the
        node at `start`."""
        graph = self.graph
        sources, targets = graph.ends()
        at = start
        nodes = [] if at is None else [graph.nodes[at]]
        edges = []
        for position in positions:
            u, v, key = graph.edge(int(position))
            source, target = int(sources[position]), int(targets[position])
            if at is not None and source != at and target == at:
                u, v = v, u
                source, target = target, source
            edges.append((u, v, key))
            nodes.append(v)
            at = target
        return nodes, edges

    def _convert(self, raw, item):
        graph = self.graph
        owner, kind = item["ownerType"], item["valueType"]
        if owner == "KyPair":
            node = graph.nodes
            if kind == "Integer":
                costs = self._pairs("totalCost")
                if isinstance(node, range):
                    return costs
                return {(node[a], node[b]): c for (a, b), c in costs.items()}
            return {(node[a], node[b]): graph.edge(e)
                    for (a, b), e in self._pairs("lastEdge").items()}
        if owner == "KyClusteringConstraint":
            return [None if v is None else bool(v) for v in raw]
        if owner in ("KyNode", "KyEdge"):
            member = (lambda i: graph.nodes[i]) if owner == "KyNode" else graph.edge
            if kind in ("Integer", "Boolean"):
                values, present = raw
                cast = bool if kind == "Boolean" else int
                at = np.flatnonzero(present)
                return {member(i): cast(v) for i, v in zip(at.tolist(), values[at].tolist())}
            if kind == "KyNode":
                return {member(i): graph.nodes[p] for i, p in enumerate(raw.tolist()) if p >= 0}
            return {member(int(i)): [graph.nodes[p] for p in nodes] for i, nodes in raw.items()}
        if kind == "Boolean":
            return None if raw is None else bool(raw)
        if kind == "Integer":
            return raw
        if kind == "KyNode":
            return None if raw is None else graph.nodes[raw]
        if kind == "List<KyNode>":
            return [graph.nodes[p] for p in raw.tolist()]
        if kind == "List<List<KyNode>>":
            return [[graph.nodes[p] for p in inner.tolist()] for inner in raw]
        walk = item["key"] in _WALKS
        if kind == "List<KyEdge>":
            return self._walk(self._start, raw)[1] if walk else [graph.edge(p) for p in raw]
        if kind == "List<List<KyEdge>>":
            if walk:
                return [self._walk(self._start, inner)[1] for inner in raw]
            return [[graph.edge(p) for p in inner] for inner in raw]
        return raw

    def __repr__(self):
        return f"<kyanalysis.Answer of {self.analysis}: {', '.join(self.names)}>"
