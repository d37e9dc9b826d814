"""run(): an analysis on a graph, locally or on a service."""

import numbers

import numpy as np

from . import _catalog, _kyanalysis
from ._answer import Answer
from ._graph import Graph
from .errors import _error_for

# Analyses that read every edge both ways whatever the request says.
_UNDIRECTED_ANYWAY = {"connectedComponents", "biconnectedComponents", "minimumSpanningTree",
                      "clustering"}
# Analyses for which an undirected graph makes every edge a cycle.
_DIRECTED_ONLY = {"topologicalSort", "acyclicTest", "cycleBreakingEdgeDetection"}
_CONSTRAINT_TYPES = {"sameCluster": 0, "differentClusters": 1, "completeCluster": 2}


def _graph_for(analysis, graph, options):
    """`graph` as a Graph; a NetworkX graph is read with the attributes that
    options name and those named like the analysis's options."""
    if isinstance(graph, Graph):
        return graph
    if not (hasattr(graph, "is_directed") and hasattr(graph, "_node")):
        raise TypeError("the graph must be a kyanalysis.Graph or a NetworkX graph, not "
                        + type(graph).__name__)
    wanted = {"node": set(), "edge": set()}
    for name, value in options.items():
        option = analysis.options.get(name)
        if option is not None and option.scope != "graph" and isinstance(value, str):
            wanted[option.scope].add(value)
    # An option given here takes no values from an attribute of its own
    # name: reading that would cost a lookup per member for nothing.
    given = [analysis.options[name] for name in options if name in analysis.options]
    words = {scope: [word for word, option in analysis.member_options(scope).items()
                     if not any(option is each for each in given)]
             for scope in ("node", "edge")}
    return Graph._read(graph, sorted(wanted["node"]) or None, sorted(wanted["edge"]) or None,
                       words)


def _integer(value, what, boolean=False):
    if isinstance(value, str) or value is None:
        raise TypeError(f"{what} takes an integer, not {value!r}")
    number = _kyanalysis.integer(value, what)
    if boolean and number not in (0, 1):
        raise ValueError(f"{what} takes True or False, not {value!r}")
    return number


def _graph_value(option, value, graph, what):
    """A graph option's value as the engine stores it, nodes as positions."""
    if option.type == "KyNode":
        return graph.position(value, what)
    if option.type == "List<KyNode>":
        if isinstance(value, (str, bytes)) or not hasattr(value, "__iter__"):
            raise TypeError(f"{what} takes an iterable of nodes, not {value!r}")
        return [graph.position(node, what) for node in value]
    if option.type == "Double":
        if isinstance(value, bool) or not isinstance(value, numbers.Real):
            raise TypeError(f"{what} takes a number, not {value!r}")
        return float(value)
    if option.type == "KyConstraintManager":
        constraints = []
        for item in value:
            if not isinstance(item, tuple) or len(item) != 2:
                raise TypeError(f"{what} takes (type, nodes) pairs, not {item!r}")
            kind, nodes = item
            code = _CONSTRAINT_TYPES.get(kind, kind)
            if code not in (0, 1, 2) or isinstance(code, bool):
                raise ValueError(f"{what}: {kind!r} is no constraint type; the types: "
                                 + ", ".join(_CONSTRAINT_TYPES))
            constraints.append((code, [graph.position(node, what) for node in nodes]))
        return constraints
    if option.codes and isinstance(value, str):
        code = option.codes.get(value, option.codes.get(value.lower()))
        if code is None:
            names = sorted(n for n in option.codes if n.islower())
            raise ValueError(f"{what} takes one of {', '.join(names)}, not {value!r}")
        return code
    number = _integer(value, what, option.type == "Boolean")
    if option.codes and number not in option.codes.values():
        raise ValueError(f"{what}: {value!r} is no code of the option")
    return number


def _member_value(option, value, graph, what):
    """A per-node or per-edge option's values as an int32 array."""
    default = option.default if option.default is not None else 0
    if isinstance(value, str):
        found = graph.values(option.scope, value)
        if found is None:
            raise ValueError(f"{what}: no {option.scope} has the attribute {value!r}")
        values, present = found
        return np.where(present, values, default).astype(np.int32)
    return graph._member_array(value, option.scope, what, default)


def _request(analysis, graph, options):
    """The options as (key, value) pairs for the engine, and whether the
    request needs twin edges to follow an undirected graph's edges both
    ways."""
    given = {}
    for name, value in options.items():
        option = analysis.options.get(name)
        if option is None:
            names = sorted(analysis.name_of.values())
            raise TypeError(f"{analysis.word} has no option {name!r}; its options: "
                            + (", ".join(names) or "none"))
        if option.key in given:
            raise TypeError(f"{analysis.word}: {name!r} names an option given twice")
        what = f"{analysis.word} option {name}"
        if option.scope == "graph":
            given[option.key] = _graph_value(option, value, graph, what)
        else:
            given[option.key] = _member_value(option, value, graph, what)
    for scope in ("node", "edge"):
        for word, option in analysis.member_options(scope).items():
            if option.key not in given:
                found = graph.option_values(scope, word)
                if found is not None:
                    default = option.default if option.default is not None else 0
                    given[option.key] = np.where(found[1], found[0], default).astype(np.int32)
    twins = False
    if not graph.directed and analysis.word not in _UNDIRECTED_ANYWAY:
        if analysis.word in _DIRECTED_ONLY:
            raise ValueError(f"{analysis.word} needs a directed graph: followed both ways, "
                             "every edge is a cycle")
        switch = analysis.options.get("graphUndirected")
        if switch is not None:
            given.setdefault(switch.key, 1)
        elif analysis.word != "treeTest":
            twins = True
    return list(given.items()), twins


def run(analysis, graph, service=None, **options):
    """Runs `analysis` on `graph` and returns its Answer.

    `analysis` is the analysis's word (``"shortestPaths"``) or its snake-case
    form; `graph` a Graph or a NetworkX graph; `service` a RemoteService to
    answer instead of the local engine. Options go by their own words
    (``startNode``, ``cost``) or snake case (``start_node``); see
    ``describe()``. Nodes are the caller's keys; per-node and per-edge
    options take an attribute name, a dict by node or edge, or an array by
    position.

    Raises TypeError for an unknown option or a value of the wrong type,
    ValueError for a value that does not fit (a node the graph lacks, say),
    an AnalysisError subclass for an answer code other than 0. Nothing of
    the caller's is changed. The engine (or the network) works with the GIL
    released; KeyboardInterrupt ends the wait at once, and the abandoned
    run finishes in the background.
    """
    spec = _catalog.analysis(analysis)
    graph = _graph_for(spec, graph, options)
    pairs, twins = _request(spec, graph, options)
    core = service._core if service is not None else None
    answer = _kyanalysis.run(graph._core, spec.code, pairs, twins, core)
    if answer.code != 0:
        raise _failure(answer, graph)
    start = None
    for key, value in pairs:
        if key.endswith(":graph:startNode"):
            start = value
    return Answer(spec, graph, answer, start)


def _failure(answer, graph):
    option = answer.error_option() if answer.code == 13 else None
    if option is None:
        return _error_for(answer.code)
    key, kind, position = option
    owner = where = None
    if kind == "node":
        owner = graph.nodes[position]
        where = f"node {owner!r}"
    elif kind == "edge":
        owner = graph.edge(position)
        where = f"edge {owner!r}"
    return _error_for(answer.code, key, owner, where)


def shortest_walks(graph, start, finish, service=None, **options):
    """The walks from `start` to `finish`, cheapest first, as a lazy
    iterator of Walk(cost, nodes, edges); the sorted-paths analysis with its
    options (``cost``, ``node_cost``). The walks may go on without end (a
    cycle of cost 0): bound them with ``itertools.islice``."""
    return run("sortedPaths", graph, service=service, startNode=start, finishNode=finish,
               **options).walks()
