"""Graphs the tests share: the real graphs NetworkX ships and generated ones."""

import random

import networkx as nx
import pytest


def karate():
    return nx.karate_club_graph()


def les_miserables():
    return nx.les_miserables_graph()


def florentine():
    return nx.florentine_families_graph()


def random_digraph(nodes=60, edges=240, seed=7, low=1, high=9):
    """A directed graph with parallel-free random edges and integer weights."""
    rng = random.Random(seed)
    graph = nx.gnm_random_graph(nodes, edges, seed=seed, directed=True)
    for u, v in graph.edges:
        graph[u][v]["weight"] = rng.randint(low, high)
    return graph


def random_dag(nodes=40, edges=150, seed=3):
    """A DAG: every edge goes from a lower to a higher node, weights 1..9."""
    rng = random.Random(seed)
    graph = nx.DiGraph()
    graph.add_nodes_from(range(nodes))
    while graph.number_of_edges() < edges:
        u, v = sorted(rng.sample(range(nodes), 2))
        graph.add_edge(u, v, weight=rng.randint(1, 9))
    return graph


REAL = {"karate": karate, "les_miserables": les_miserables, "florentine": florentine}


@pytest.fixture(params=sorted(REAL))
def real_graph(request):
    """Each real graph in turn, weights on every edge (1 where it has none)."""
    graph = REAL[request.param]()
    for u, v, data in graph.edges(data=True):
        data.setdefault("weight", 1)
        data["weight"] = int(data["weight"])
    return graph
