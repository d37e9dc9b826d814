"""Every analysis runs, through every way a graph can come in, and answers
in the caller's own terms."""

import itertools

import networkx as nx
import numpy as np
import pytest

import kyanalysis as ky

# A small directed graph with a cycle (a -> b -> c -> a), a tail to d and a
# lone node e; options that each analysis needs.
EDGES = [("a", "b", 2), ("b", "c", 3), ("c", "a", 1), ("c", "d", 4), ("a", "d", 10)]
NEEDS = {
    "pathExistsTest": dict(startNode="a", finishNode="d"),
    "uniquePathTest": dict(startNode="a", finishNode="d"),
    "disjointPaths": dict(startNode="a", finishNode="d"),
    "reachableNodes": dict(startNode="a"),
    "shortestPaths": dict(startNode="a", finishNode="d"),
    "newCycleTest": dict(sourceNode="d", targetNode="a"),
    "maximumFlow": dict(sourceNode="a", sinkNode="d"),
    "minimumCostFlow": dict(sourceNode="a", sinkNode="d", desiredFlow=1),
    "minimumCut": dict(sourceNode="a", sinkNode="d"),
    "clustering": dict(constraints=[("sameCluster", ["a", "b"])]),
    "sortedPaths": dict(startNode="a", finishNode="d"),
    "rootCause": dict(effectNodeList=["d"]),
}


def small_graph():
    graph = nx.DiGraph()
    graph.add_nodes_from("abcde")
    for u, v, w in EDGES:
        graph.add_edge(u, v, cost=w)
    return graph


def test_there_are_23_analyses_each_described():
    assert len(ky.analyses()) == 23
    described = ky.describe()
    assert list(described) == ky.analyses()
    shortest = ky.describe("shortest_paths")
    names = {o["name"]: o for o in shortest["options"]}
    assert names["cost"]["scope"] == "edge" and names["nodeCost"]["scope"] == "node"
    assert names["undirected"]["scope"] == "graph" and "edgeUndirected" in names
    assert {r["name"] for r in shortest["results"]} == {"path_exists", "edge_list", "total_cost"}


@pytest.mark.parametrize("analysis", ky.analyses())
def test_every_analysis_runs_and_answers_its_results(analysis):
    answer = ky.run(analysis, small_graph(), **NEEDS.get(analysis, {}))
    assert answer.analysis == analysis
    expected = {r["name"] for r in ky.describe(analysis)["results"]}
    assert set(answer.names) <= expected and answer.names
    values = answer.as_dict()
    node_keys = set("abcde")
    for name, value in values.items():
        if isinstance(value, dict):
            for key in value:
                assert key in node_keys or (isinstance(key, tuple) and key[0] in node_keys)


def test_results_in_the_callers_terms():
    graph = small_graph()
    answer = ky.run("shortestPaths", graph, startNode="a", finishNode="d")
    assert answer.total_cost == 9 and answer.path_exists is True
    assert answer.edge_list == [("a", "b", None), ("b", "c", None), ("c", "d", None)]
    dfs = ky.run("depthFirstSearch", graph)
    assert dfs.node_list == list("abcde")
    assert dfs.parent == {"b": "a", "c": "b", "d": "c"}
    assert dfs.type[("c", "a", None)] == 2  # back edge
    assert list(dfs.array("order_number")) == [1, 2, 3, 4, 5]
    flow = ky.run("maximumFlow", graph, sourceNode="a", sinkNode="d", capacity="cost")
    assert flow.total_flow == 12 and flow.flow[("a", "d", None)] == 10
    assert list(graph.edges) == [("a", "b"), ("a", "d"), ("b", "c"), ("c", "a"), ("c", "d")]
    assert list(flow.array("flow", fill=-1)) == [2, 10, 2, -1, 2]
    clusters = ky.run("clustering", graph, constraints=[("sameCluster", ["a", "e"]),
                                                        ("differentClusters", ["a", "b"])],
                      maxNumberOfClusters=3)
    assert clusters.cluster_number["a"] == clusters.cluster_number["e"]
    assert clusters.cluster_number["a"] != clusters.cluster_number["b"]
    assert clusters.fulfilled == [True, True]
    cause = ky.run("rootCause", graph, effectNodeList=["d"], weight={"d": 1})
    assert "d" in cause.reached_node_list.get(cause.cause_node_list[0], ["d"])


def test_undirected_networkx_graphs_follow_edges_both_ways():
    path = nx.path_graph(["x", "y", "z"])
    back = ky.run("shortestPaths", path, startNode="z", finishNode="x")
    assert back.edge_list == [("z", "y", None), ("y", "x", None)]
    # analyses without an undirected switch get twin edges; a flow against
    # an edge reads negative on it.
    flow = ky.run("maximumFlow", path, sourceNode="z", sinkNode="x")
    assert flow.total_flow == 1
    assert flow.flow == {("x", "y", None): -1, ("y", "z", None): -1}
    walks = list(itertools.islice(ky.shortest_walks(path, "z", "x"), 3))
    assert walks[0].nodes == ["z", "y", "x"] and [w.cost for w in walks] == [2, 4, 4]
    assert walks[0].edges == [("z", "y", None), ("y", "x", None)]
    with pytest.raises(ValueError, match="directed graph"):
        ky.run("topologicalSort", path)
    assert ky.run("treeTest", path).tree


def test_multigraph_edges_keep_their_keys():
    graph = nx.MultiDiGraph()
    graph.add_edge(0, 1, key="slow", cost=5)
    graph.add_edge(0, 1, key="fast", cost=2)
    graph.add_edge(1, 2, key="only", cost=1)
    answer = ky.run("shortestPaths", graph, startNode=0, finishNode=2)
    assert answer.edge_list == [(0, 1, "fast"), (1, 2, "only")]
    walks = [(w.cost, w.edges) for w in ky.shortest_walks(graph, 0, 2)]
    assert walks == [(3, [(0, 1, "fast"), (1, 2, "only")]),
                     (6, [(0, 1, "slow"), (1, 2, "only")])]
    unique = ky.run("uniquePathTest", graph, startNode=0, finishNode=2)
    assert unique.unique_path_exists is False


def test_options_by_dict_array_and_attribute_agree():
    graph = small_graph()
    by_attribute = ky.run("shortestPaths", graph, startNode="a", finishNode="d", cost="cost")
    costs = {(u, v): w for u, v, w in EDGES}
    by_dict = ky.run("shortestPaths", graph, startNode="a", finishNode="d", cost=costs)
    order = [costs[(u, v)] for u, v in graph.edges]
    by_array = ky.run("shortestPaths", graph, startNode="a", finishNode="d",
                      cost=np.array(order, dtype=np.int16))
    by_list = ky.run("shortestPaths", graph, startNode="a", finishNode="d", edge_cost=order)
    answers = {(a.total_cost, tuple(a.edge_list)) for a in (by_attribute, by_dict, by_array,
                                                           by_list)}
    assert len(answers) == 1
    # a partial dict leaves the other edges at the option's default (1)
    partial = ky.run("shortestPaths", graph, startNode="a", finishNode="d",
                     cost={("a", "d"): 1})
    assert partial.total_cost == 1
    # node costs next to edge costs
    with_nodes = ky.run("shortestPaths", graph, startNode="a", finishNode="d",
                        node_cost={"b": 100})
    assert with_nodes.edge_list == [("a", "d", None)] and with_nodes.total_cost == 10


def test_attribute_mapping_when_converting():
    graph = nx.DiGraph()
    graph.add_edge(0, 1, length=4, cost=1)
    graph.add_edge(1, 2, length=4, cost=1)
    graph.add_edge(0, 2, length=5, cost=7)
    mapped = ky.Graph.from_networkx(graph, edge_attributes={"cost": "length"})
    assert ky.run("shortestPaths", mapped, startNode=0, finishNode=2).total_cost == 5
    by_name = ky.Graph.from_networkx(graph)
    assert ky.run("shortestPaths", by_name, startNode=0, finishNode=2).total_cost == 2
    # an attribute not read at first is read when an option names it
    assert ky.run("shortestPaths", by_name, startNode=0, finishNode=2,
                  cost="length").total_cost == 5


def test_all_pairs_pairs_and_enumerated_options():
    graph = small_graph()
    pairs = ky.run("allPairsShortestPaths", graph, cost="cost")
    assert pairs.total_cost[("a", "d")] == 9 and ("d", "a") not in pairs.total_cost
    assert pairs.path("a", "d") == [("a", "b", None), ("b", "c", None), ("c", "d", None)]
    assert pairs.path("d", "a") is None
    for quality in ("draft", "CYCLEBREAKING_QUALITY_PROOF", 1):
        answer = ky.run("cycleBreakingEdgeDetection", graph, quality=quality)
        assert len(answer.edge_list) == 1


def test_walks_are_lazy_and_bounded_by_the_caller():
    cycle = nx.DiGraph([(0, 1), (1, 0), (1, 2)])
    walks = ky.shortest_walks(cycle, 0, 2)
    first = list(itertools.islice(walks, 4))
    assert [w.cost for w in first] == [2, 4, 6, 8]
    assert first[1].nodes == [0, 1, 0, 1, 2]
    assert next(walks).cost == 10
    assert list(ky.shortest_walks(cycle, 2, 0)) == []
