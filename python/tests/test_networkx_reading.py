"""Graphs read from NetworkX: every edge's values, in the graph's own order,
whatever the kind of graph and however many edges share two ends."""

import enum

import networkx as nx
import numpy as np
import pytest

import kyanalysis as ky


class Level(enum.IntEnum):
    HIGH = 9


def filled(kind, parallel):
    """A graph of `kind` with `parallel` edges (when it may have several)
    between each pair of a ring of 5, a self-loop, and costs all distinct;
    every third edge has no cost."""
    graph = kind()
    graph.add_nodes_from("abcde")
    count = 0
    ends = [(u, v) for u, v in zip("abcde", "bcdea")] + [("c", "c")]
    for u, v in ends:
        for _ in range(parallel if graph.is_multigraph() else 1):
            count += 1
            if count % 3 == 0:
                graph.add_edge(u, v)
            else:
                graph.add_edge(u, v, cost=count * 10 - 2**31 // 2)
    return graph


@pytest.mark.parametrize("kind, parallel", [
    (nx.Graph, 1), (nx.DiGraph, 1), (nx.MultiGraph, 1), (nx.MultiGraph, 7),
    (nx.MultiDiGraph, 2), (nx.MultiDiGraph, 40),
])
def test_edge_values_follow_the_graphs_own_edge_order(kind, parallel):
    source = filled(kind, parallel)
    graph = ky.Graph.from_networkx(source, edge_attributes=["cost"])
    data = (source.edges(keys=True, data=True) if source.is_multigraph()
            else source.edges(data=True))
    expected = [d.get("cost") for *_, d in data]
    assert graph.number_of_edges == len(expected) == source.number_of_edges()
    values, present = graph.values("edge", "cost")
    assert len(values) == len(present) == len(expected)
    assert present.tolist() == [c is not None for c in expected]
    assert values[present].tolist() == [c for c in expected if c is not None]
    assert not values[~present].any()


@pytest.mark.parametrize("value, expected", [
    (Level.HIGH, 9), (np.int32(-4), -4), (False, 0), (12.0, 12), (-2**31, -2**31),
])
def test_attribute_values_of_integer_kinds_other_than_int(value, expected):
    source = nx.DiGraph()
    source.add_edge("s", "t", cost=value)
    source.add_node("lone", cost=value)
    graph = ky.Graph.from_networkx(source, node_attributes=["cost"], edge_attributes=["cost"])
    assert graph.values("edge", "cost")[0].tolist() == [expected]
    node_values, present = graph.values("node", "cost")
    assert node_values[present].tolist() == [expected]
