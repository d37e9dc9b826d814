"""Graphs from NumPy arrays and from graph files."""

import networkx as nx
import numpy as np
import pytest

import kyanalysis as ky


def random_arrays(nodes=500, edges=3000, seed=4):
    rng = np.random.default_rng(seed)
    return (rng.integers(0, nodes, edges), rng.integers(0, nodes, edges),
            rng.integers(1, 20, edges))


@pytest.mark.parametrize("dtype", [np.int64, np.int32, np.uint16])
def test_arrays_answer_as_networkx_on_the_same_edges(dtype):
    sources, targets, costs = random_arrays()
    graph = ky.Graph.from_arrays(sources.astype(dtype), targets.astype(dtype), 500,
                                 edge_values={"cost": costs})
    reference = nx.MultiDiGraph()
    reference.add_nodes_from(range(500))
    for i, (u, v, w) in enumerate(zip(sources, targets, costs)):
        reference.add_edge(int(u), int(v), key=i, weight=int(w))
    lengths = nx.single_source_dijkstra_path_length(reference, 0)
    for finish in (1, 17, 250, 499):
        answer = ky.run("shortestPaths", graph, startNode=0, finishNode=finish)
        assert answer.total_cost == lengths.get(finish, 2**31 - 1)
        at = 0
        for u, v, key in answer.edge_list:
            assert (u, v) == (sources[key], targets[key]) and u == at
            at = v
        assert sum(int(costs[key]) for _, _, key in answer.edge_list) == answer.total_cost


def test_array_graphs_with_node_keys_and_values():
    graph = ky.Graph.from_arrays(np.array([0, 1, 0]), np.array([1, 2, 2]),
                                 nodes=["x", "y", "z"], node_values={"cost": [0, 10, 0]},
                                 edge_values={"cost": [1, 1, 5]})
    assert graph.number_of_nodes == 3 and graph.edges == [("x", "y", 0), ("y", "z", 1),
                                                          ("x", "z", 2)]
    answer = ky.run("shortestPaths", graph, startNode="x", finishNode="z")
    assert answer.edge_list == [("x", "z", 2)] and answer.total_cost == 5
    cheaper = ky.run("shortestPaths", graph, startNode="x", finishNode="z", node_cost=[0, 0, 0])
    assert cheaper.total_cost == 2
    empty = ky.Graph.from_arrays(np.array([], dtype=np.int64), np.array([], dtype=np.int64), 1)
    assert ky.run("connectedComponents", empty).component_list == [[0]]
    assert ky.Graph.from_arrays([], []).number_of_nodes == 0


def test_per_member_results_as_arrays():
    sources, targets, _ = random_arrays(200, 600)
    graph = ky.Graph.from_arrays(sources, targets, 200)
    answer = ky.run("stronglyConnectedComponents", graph)
    numbers = answer.array("component_number")
    assert numbers.shape == (200,) and numbers.min() >= 1
    reference = nx.DiGraph(list(zip(sources.tolist(), targets.tolist())))
    reference.add_nodes_from(range(200))
    assert len(answer.component_list) == nx.number_strongly_connected_components(reference)
    search = ky.run("breadthFirstSearch", graph, startNode=0)
    order = search.array("order_number", fill=-1)
    assert (order >= 1).sum() == len(search.node_list)


EDGE_LIST = """source,target,cost,capacity
Ashby,Carden,4,3
Carden,Fenton,6,2
Ashby,Fenton,12,5
"Fenton, north",Harlow,1,1
Fenton,"Fenton, north",2,4
"""


def test_edge_list_files_with_value_columns(tmp_path):
    path = tmp_path / "roads.csv"
    path.write_text(EDGE_LIST)
    graph = ky.read_graph(path)
    assert graph.directed and graph.number_of_edges == 5
    assert "Fenton, north" in graph.nodes
    answer = ky.run("shortestPaths", graph, startNode="Ashby", finishNode="Harlow")
    assert answer.total_cost == 13
    assert [v for _, v, _ in answer.edge_list] == ["Carden", "Fenton", "Fenton, north",
                                                   "Harlow"]
    flow = ky.run("maximumFlow", graph, sourceNode="Ashby", sinkNode="Harlow")
    assert flow.total_flow == 1
    # an option given overrides the column
    assert ky.run("shortestPaths", graph, startNode="Ashby", finishNode="Harlow",
                  cost=[1] * 5).total_cost == 3


def test_graphml_files_say_whether_they_are_directed(tmp_path):
    graph = nx.Graph()
    graph.add_edge("a", "b", cost=2)
    graph.add_edge("b", "c", cost=2)
    graph.add_edge("a", "c", cost=7)
    path = tmp_path / "g.graphml"
    nx.write_graphml(graph, path)
    read = ky.read_graph(path)
    assert not read.directed
    answer = ky.run("shortestPaths", read, startNode="c", finishNode="a")
    assert answer.total_cost == 4
    assert answer.edge_list[0][:2] == ("c", "b")


@pytest.mark.parametrize("text, format, message", [
    ("source,target,cost\na,b,heavy\n", None, r"g\.txt:2:"),
    ("<graphml><broken", "graphml", "g.txt"),
])
def test_unreadable_files_raise_with_where(tmp_path, text, format, message):
    path = tmp_path / "g.txt"
    path.write_text(text)
    with pytest.raises(ValueError, match=message):
        ky.read_graph(path, format=format)


def test_file_arguments_checked(tmp_path):
    with pytest.raises(ValueError, match="unknown format 'csv'"):
        ky.read_graph(tmp_path / "x", format="csv")
    with pytest.raises(ValueError, match="one character"):
        ky.read_graph(tmp_path / "x", delimiter=";;")
    with pytest.raises(ValueError):
        ky.read_graph(tmp_path / "does-not-exist.txt")
