"""Bad input gets a clear exception and changes nothing of the caller's."""

import copy
import itertools
import re

import networkx as nx
import numpy as np
import pytest

import kyanalysis as ky


def weighted():
    graph = nx.DiGraph()
    graph.add_edge("s", "a", capacity=3, cost=1)
    graph.add_edge("a", "t", capacity=2, cost=1)
    graph.add_edge("s", "t", capacity=1, cost=5)
    return graph


def snapshot(graph):
    return (list(graph.nodes(data=True)), list(graph.edges(data=True)),
            copy.deepcopy(graph.graph))


@pytest.mark.parametrize("call, exception, message", [
    (lambda g: ky.run("noSuchAnalysis", g), ValueError, "unknown analysis 'noSuchAnalysis'"),
    (lambda g: ky.run(10, g), TypeError, "named by a string"),
    (lambda g: ky.run("shortestPaths", g, startNod="s"), TypeError,
     "shortestPaths has no option 'startNod'; its options: cost, edgeUndirected, finishNode"),
    (lambda g: ky.run("shortestPaths", g, startNode="s", start_node="a"), TypeError,
     "given twice"),
    (lambda g: ky.run("shortestPaths", g, startNode="nowhere", finishNode="t"), ValueError,
     "node 'nowhere' is not in the graph"),
    (lambda g: ky.run("shortestPaths", g, startNode=["s"], finishNode="t"), TypeError,
     "unhashable"),
    (lambda g: ky.run("shortestPaths", g, startNode="s", finishNode="t", undirected="yes"),
     TypeError, "takes an integer"),
    (lambda g: ky.run("shortestPaths", g, startNode="s", finishNode="t", undirected=2),
     ValueError, "True or False"),
    (lambda g: ky.run("shortestPaths", g, startNode="s", finishNode="t", cost="missing"),
     ValueError, "no edge has the attribute 'missing'"),
    (lambda g: ky.run("shortestPaths", g, startNode="s", finishNode="t", cost=[1, 2]),
     ValueError, "3 values expected"),
    (lambda g: ky.run("shortestPaths", g, startNode="s", finishNode="t", cost=[1.5, 1, 1]),
     TypeError, "must be integers"),
    (lambda g: ky.run("shortestPaths", g, startNode="s", finishNode="t", cost=[2**31, 1, 1]),
     ValueError, "fit in 32 bits"),
    (lambda g: ky.run("shortestPaths", g, startNode="s", finishNode="t",
                      cost={("s", "x"): 1}), ValueError, "edge ('s', 'x') is not in the graph"),
    (lambda g: ky.run("shortestPaths", g, startNode="s", finishNode="t",
                      cost={("s", "a"): "1"}), TypeError, "not an integer"),
    (lambda g: ky.run("clustering", g, balance="1"), TypeError, "takes a number"),
    (lambda g: ky.run("clustering", g, quality="best"), ValueError, "draft, medium, proof"),
    (lambda g: ky.run("clustering", g, quality=7), ValueError, "no code"),
    (lambda g: ky.run("clustering", g, constraints=[("sameCluster", ["s", "zz"])]),
     ValueError, "node 'zz'"),
    (lambda g: ky.run("clustering", g, constraints=[("oneCluster", ["s"])]), ValueError,
     "no constraint type"),
    (lambda g: ky.run("rootCause", g, effectNodeList="s"), TypeError, "iterable of nodes"),
    (lambda g: ky.run("shortestPaths", [("s", "t")], startNode="s"), TypeError,
     "kyanalysis.Graph or a NetworkX graph"),
])
def test_mistakes_raise_clear_exceptions_and_leave_the_graph(call, exception, message):
    graph = weighted()
    before = snapshot(graph)
    with pytest.raises(exception, match=re.escape(message)):
        call(graph)
    assert snapshot(graph) == before


@pytest.mark.parametrize("attribute, error, message", [
    (1.5, TypeError, r"edge \('s', 'a'\): its 'cost' is 1.5, not an integer"),
    ("3", TypeError, r"its 'cost' is '3' \(str\), not an integer"),
    (2**31, ValueError, "outside the 32-bit range"),
    (-2**31 - 1, ValueError, "outside the 32-bit range"),
    (float("nan"), TypeError, "not an integer"),
])
def test_attribute_values_that_are_no_32_bit_integers(attribute, error, message):
    graph = weighted()
    graph["s"]["a"]["cost"] = attribute
    with pytest.raises(error, match=message):
        ky.run("shortestPaths", graph, startNode="s", finishNode="t")


@pytest.mark.parametrize("value", [2**31 - 1, -2**31, True, 7.0, np.int64(3), np.uint8(2)])
def test_attribute_values_at_the_limits_and_of_other_integer_types(value):
    graph = weighted()
    graph["s"]["t"]["cost"] = value
    answer = ky.run("shortestPaths", graph, startNode="s", finishNode="t", nodeCost={"a": 0})
    assert answer.path_exists


def test_answer_codes_raise_with_their_names():
    graph = weighted()
    with pytest.raises(ky.AnalysisError) as missing:
        ky.run("shortestPaths", graph, startNode="s")
    assert missing.value.code == 7 and missing.value.name == "ANALYSIS_ERROR_NO_FINISH_NODE"
    cycle = nx.DiGraph([(0, 1), (1, 0), (1, 2)])
    with pytest.raises(ky.NegativeCycleError) as negative:
        ky.run("shortestPaths", cycle, startNode=0, finishNode=2, cost=[-3, 1, 1])
    assert negative.value.name == "ANALYSIS_ERROR_NEGATIVE_CYCLE"
    with pytest.raises(ky.CostOverflowError):
        ky.run("shortestPaths", nx.path_graph(3, nx.DiGraph), startNode=0, finishNode=2,
               cost=[2**31 - 1, 2**31 - 1])


def test_invalid_option_names_the_option_and_the_callers_member():
    graph = weighted()
    graph["a"]["t"]["capacity"] = -4
    with pytest.raises(ky.InvalidOptionError) as bad_edge:
        ky.run("maximumFlow", graph, sourceNode="s", sinkNode="t")
    error = bad_edge.value
    assert error.code == 13 and error.name == "ANALYSIS_ERROR_INVALID_OPTION"
    assert error.option == "capacity" and error.key == "maximumFlow:edge:capacity"
    assert error.owner == ("a", "t", None) and "edge ('a', 't', None)" in str(error)
    assert isinstance(error, ValueError)
    with pytest.raises(ky.InvalidOptionError) as same:
        ky.run("maximumFlow", graph, sourceNode="s", sinkNode="s")
    assert same.value.option == "sinkNode" and same.value.owner is None
    with pytest.raises(ky.InvalidOptionError) as bad_node:
        ky.run("maximumFlow", weighted(), sourceNode="s", sinkNode="t",
               node_capacity={"a": -1})
    assert bad_node.value.owner == "a" and bad_node.value.option == "capacity"


def test_nodes_of_another_graph_are_refused():
    first = ky.Graph.from_arrays([0, 1], [1, 2])
    other = nx.path_graph(["p", "q"], nx.DiGraph)
    with pytest.raises(ValueError, match="node 3 is not in the graph"):
        ky.run("shortestPaths", first, startNode=0, finishNode=3)
    with pytest.raises(ValueError, match="node 'p' is not in the graph"):
        ky.run("shortestPaths", first, startNode="p", finishNode=2)
    with pytest.raises(ValueError, match="node True is not in the graph"):
        ky.run("shortestPaths", first, startNode=True, finishNode=2)
    with pytest.raises(ValueError, match="node 0 is not in the graph"):
        ky.run("shortestPaths", other, startNode=0, finishNode="q")


def test_a_graph_changed_during_iteration_raises():
    graph = nx.DiGraph([(0, 1), (1, 3), (0, 2), (2, 3), (0, 3)])
    walks = ky.shortest_walks(graph, 0, 3)
    first = next(walks)
    assert first.cost == 1
    graph.remove_edge(1, 3)
    with pytest.raises(RuntimeError, match=r"edge \(1, 3, None\) is gone"):
        list(walks)
    grown = nx.DiGraph([(0, 1), (1, 2), (0, 2)])
    answer = ky.run("sortedPaths", grown, startNode=0, finishNode=2)
    walks = answer.walks()
    next(walks)
    grown.add_node(9)
    with pytest.raises(RuntimeError, match="changed after it was read"):
        next(walks)
    # the answer itself is a snapshot and still reads
    assert answer.path_exists


def test_a_converted_graph_is_a_snapshot():
    source = nx.DiGraph([(0, 1), (1, 2)])
    graph = ky.Graph.from_networkx(source)
    source.add_edge(0, 2)
    assert ky.run("shortestPaths", graph, startNode=0, finishNode=2).total_cost == 2
    source.add_node(7)
    with pytest.raises(RuntimeError, match="changed after it was read"):
        ky.run("shortestPaths", graph, startNode=0, finishNode=2, cost="length")


@pytest.mark.parametrize("sources, targets, nodes, error, message", [
    ([0.0, 1.0], [1, 2], None, TypeError, "integer array"),
    ([[0, 1]], [[1, 2]], None, ValueError, "one-dimensional"),
    ([0, 1, 2], [1, 2], None, ValueError, "3 sources but 2 targets"),
    ([0, 3], [1, 2], 3, ValueError, "edge 1: source 3 is no node of a graph of 3 nodes"),
    ([0, -1], [1, 2], 3, ValueError, "edge 1: source -1 is no node"),
    ([0, 1], [1, 2], ["a", "b", "a"], ValueError, "not distinct"),
])
def test_bad_arrays(sources, targets, nodes, error, message):
    with pytest.raises(error, match=message):
        ky.Graph.from_arrays(sources, targets, nodes)


def test_answers_name_their_results_and_wrong_calls():
    answer = ky.run("acyclicTest", nx.DiGraph([(0, 1)]))
    with pytest.raises(AttributeError, match="no result 'total_cost'; its results: acyclic"):
        answer.total_cost
    with pytest.raises(TypeError, match="sortedPaths"):
        answer.walks()
    with pytest.raises(TypeError, match="allPairsShortestPaths"):
        answer.path(0, 1)
    with pytest.raises(TypeError, match="no per-node or per-edge"):
        answer.array("acyclic")
    walks = ky.shortest_walks(nx.DiGraph([(0, 1)]), 1, 0)
    assert list(itertools.islice(walks, 3)) == []
