"""Answers compared with NetworkX's on real and generated graphs, for every
analysis NetworkX has."""

import itertools
import random

import networkx as nx
import pytest
from conftest import random_dag, random_digraph

import kyanalysis as ky

UNREACHABLE = 2**31 - 1


def walk_cost(graph, edges, start, finish, weight="weight"):
    """The cost of a walk given as (u, v, key) edges, after checking that
    it runs from start to finish along edges of the graph."""
    at = start
    cost = 0
    for u, v, _ in edges:
        assert u == at and graph.has_edge(u, v)
        cost += graph[u][v][weight]
        at = v
    assert at == finish
    return cost


def some_pairs(graph, count=12, seed=1):
    rng = random.Random(seed)
    nodes = list(graph)
    return [tuple(rng.sample(nodes, 2)) for _ in range(count)]


@pytest.mark.parametrize("directed", [False, True])
def test_shortest_paths_cost_and_walk(real_graph, directed):
    graph = real_graph.to_directed() if directed else real_graph
    for start, finish in some_pairs(graph):
        answer = ky.run("shortestPaths", graph, startNode=start, finishNode=finish,
                        cost="weight")
        expected = nx.dijkstra_path_length(graph, start, finish, weight="weight")
        assert answer.path_exists and answer.total_cost == expected
        assert walk_cost(graph, answer.edge_list, start, finish) == expected


def test_shortest_paths_unreachable_and_directed():
    graph = random_digraph()
    for start, finish in some_pairs(graph, 30):
        answer = ky.run("shortestPaths", graph, start_node=start, finish_node=finish,
                        edge_cost="weight")
        if nx.has_path(graph, start, finish):
            expected = nx.dijkstra_path_length(graph, start, finish)
            assert answer.total_cost == expected
            assert walk_cost(graph, answer.edge_list, start, finish) == expected
        else:
            assert not answer.path_exists
            assert answer.total_cost == UNREACHABLE and answer.edge_list == []


@pytest.mark.parametrize("make", [random_digraph, lambda: nx.les_miserables_graph()])
def test_all_pairs_match_and_paths_rebuild(make):
    graph = make()
    answer = ky.run("allPairsShortestPaths", graph, cost="weight")
    expected = {(u, v): d for u, lengths in nx.all_pairs_dijkstra_path_length(graph)
                for v, d in lengths.items()}
    assert answer.total_cost == expected
    for start, finish in some_pairs(graph, 10):
        walk = answer.path(start, finish)
        if (start, finish) in expected:
            assert walk_cost(graph, walk, start, finish) == expected[(start, finish)]
        else:
            assert walk is None


def test_reachable_nodes_without_and_with_range():
    graph = random_digraph(edges=90)
    for start in list(graph)[:8]:
        answer = ky.run("reachableNodes", graph, startNode=start)
        assert answer.node_list[0] == start
        assert set(answer.node_list) == nx.descendants(graph, start) | {start}
        for bound in (0, 4, 9):
            answer = ky.run("reachableNodes", graph, startNode=start, range=bound, cost="weight")
            lengths = nx.single_source_dijkstra_path_length(graph, start, cutoff=bound)
            assert set(answer.node_list) == set(lengths)
            costs = [lengths[node] for node in answer.node_list]
            assert costs == sorted(costs)


def test_path_exists_matches_has_path():
    graph = random_digraph(edges=70)
    for start, finish in some_pairs(graph, 40):
        answer = ky.run("pathExistsTest", graph, startNode=start, finishNode=finish)
        assert answer.path_exists == nx.has_path(graph, start, finish)
        if answer.path_exists:
            assert walk_cost(graph, answer.edge_list, start, finish) >= 0


def as_sets(groups):
    return sorted(sorted(map(str, group)) for group in groups)


def test_components(real_graph):
    components = ky.run("connectedComponents", real_graph)
    assert as_sets(components.component_list) == as_sets(nx.connected_components(real_graph))
    for number, members in enumerate(components.component_list, start=1):
        assert all(components.component_number[node] == number for node in members)
    biconnected = ky.run("biconnectedComponents", real_graph)
    own = [c for c in biconnected.component_list if len(c) > 1]
    assert as_sets(own) == as_sets(nx.biconnected_components(real_graph))
    assert set(biconnected.articulation_node_list) == set(nx.articulation_points(real_graph))


@pytest.mark.parametrize("seed", [1, 2, 3])
def test_strong_and_weak_components_of_digraphs(seed):
    graph = random_digraph(nodes=50, edges=80, seed=seed)
    strong = ky.run("stronglyConnectedComponents", graph)
    assert as_sets(strong.component_list) == as_sets(nx.strongly_connected_components(graph))
    for nodes, edges in zip(strong.component_list, strong.edge_component_list):
        assert {(u, v) for u, v, _ in edges} == set(graph.subgraph(nodes).edges)
    weak = ky.run("connectedComponents", graph)
    assert as_sets(weak.component_list) == as_sets(nx.weakly_connected_components(graph))


def test_searches_visit_in_networkx_order():
    graph = random_digraph(edges=150)
    for start in list(graph)[:5]:
        bfs = ky.run("breadthFirstSearch", graph, startNode=start)
        assert bfs.node_list == [start] + [v for _, v in nx.bfs_edges(graph, start)]
        assert sorted(bfs.order_number.values()) == list(range(1, len(bfs.node_list) + 1))
        dfs = ky.run("depthFirstSearch", graph, startNode=start)
        assert dfs.node_list == list(nx.dfs_preorder_nodes(graph, start))
        assert dfs.parent == {v: u for u, v in nx.dfs_edges(graph, start)}


def test_order_and_cycle_tests():
    dag = random_dag()
    cyclic = random_digraph()
    for graph in (dag, cyclic):
        acyclic = nx.is_directed_acyclic_graph(graph)
        assert ky.run("acyclicTest", graph).acyclic == acyclic
        order = ky.run("topologicalSort", graph)
        assert order.acyclic == acyclic and sorted(order.node_list) == sorted(graph)
        if acyclic:
            place = {node: i for i, node in enumerate(order.node_list)}
            assert all(place[u] < place[v] for u, v in graph.edges)
    breaking = ky.run("cycleBreakingEdgeDetection", cyclic)
    rest = cyclic.copy()
    rest.remove_edges_from((u, v) for u, v, _ in breaking.edge_list)
    assert nx.is_directed_acyclic_graph(rest)
    for source, target in some_pairs(dag, 30):
        answer = ky.run("newCycleTest", dag, sourceNode=source, targetNode=target)
        assert answer.will_create_cycle == nx.has_path(dag, target, source)


@pytest.mark.parametrize("graph", [
    nx.balanced_tree(2, 4), nx.path_graph(6), nx.karate_club_graph(),
    nx.disjoint_union(nx.path_graph(3), nx.star_graph(4)), nx.cycle_graph(5)],
    ids=["tree", "path", "karate", "forest", "cycle"])
def test_tree_test_on_undirected_graphs(graph):
    answer = ky.run("treeTest", graph)
    assert answer.tree == nx.is_tree(graph)
    assert answer.forest == nx.is_forest(graph)


def test_tree_test_directed():
    arborescence = nx.bfs_tree(nx.balanced_tree(3, 3), 0)
    assert ky.run("treeTest", arborescence, directed=True).tree
    assert nx.is_arborescence(arborescence)
    arborescence.add_edge(5, 4)
    assert not ky.run("treeTest", arborescence, directed=True).tree


def test_minimum_spanning_tree(real_graph):
    answer = ky.run("minimumSpanningTree", real_graph, cost="weight")
    expected = nx.minimum_spanning_tree(real_graph, weight="weight")
    assert answer.total_cost == expected.size(weight="weight")
    assert len(answer.tree_edge_list) == expected.number_of_edges()
    assert sum(answer.tree_edge.values()) == expected.number_of_edges()


def check_flow(graph, flow, source, sink, total, capacity):
    """Flow on each edge within its capacity, conserved at each inner node."""
    balance = dict.fromkeys(graph, 0)
    for (u, v, _), amount in flow.items():
        assert abs(amount) <= graph[u][v][capacity]
        balance[u] -= amount
        balance[v] += amount
    assert balance[sink] == total and balance[source] == -total
    assert all(balance[n] == 0 for n in graph if n not in (source, sink))


@pytest.mark.parametrize("directed", [False, True])
def test_maximum_flow_and_minimum_cut(real_graph, directed):
    graph = real_graph.to_directed() if directed else real_graph
    for source, sink in some_pairs(graph, 5):
        flow = ky.run("maximumFlow", graph, sourceNode=source, sinkNode=sink,
                      capacity="weight")
        expected = nx.maximum_flow_value(graph, source, sink, capacity="weight")
        assert flow.total_flow == expected
        check_flow(graph, flow.flow, source, sink, expected, "weight")
        cut = ky.run("minimumCut", graph, sourceNode=source, sinkNode=sink, cost="weight")
        assert cut.total_cost == expected
        rest = graph.copy()
        rest.remove_edges_from((u, v) for u, v, _ in cut.edge_list)
        assert not nx.has_path(rest, source, sink)


def test_minimum_cost_flow_matches_network_simplex():
    graph = random_digraph(nodes=30, edges=120, seed=11)
    rng = random.Random(5)
    for u, v in graph.edges:
        graph[u][v]["capacity"] = rng.randint(1, 6)
    for source, sink in some_pairs(graph, 6):
        most = nx.maximum_flow_value(graph, source, sink)
        desired = max(1, most // 2)
        answer = ky.run("minimumCostFlow", graph, sourceNode=source, sinkNode=sink,
                        desiredFlow=desired, cost="weight")
        if most == 0:
            assert answer.total_flow == 0
            continue
        demand = graph.copy()
        demand.nodes[source]["demand"] = -desired
        demand.nodes[sink]["demand"] = desired
        assert answer.total_flow == desired
        assert answer.total_cost == nx.min_cost_flow_cost(demand, weight="weight")
        check_flow(graph, answer.flow, source, sink, desired, "capacity")


@pytest.mark.parametrize("node_disjoint", [False, True])
def test_disjoint_paths(real_graph, node_disjoint):
    count = nx.node_disjoint_paths if node_disjoint else nx.edge_disjoint_paths
    for start, finish in some_pairs(real_graph, 6):
        if node_disjoint and real_graph.has_edge(start, finish):
            continue
        answer = ky.run("disjointPaths", real_graph, startNode=start, finishNode=finish,
                        nodeDisjointPaths=node_disjoint)
        expected = len(list(count(real_graph, start, finish)))
        assert answer.number_of_disjoint_paths == expected == len(answer.path_list)
        used = [e[:2] if node_disjoint else frozenset(e[:2]) for p in answer.path_list
                for e in p]
        for path in answer.path_list:
            walk_cost(real_graph, path, start, finish)
        if not node_disjoint:
            assert len(used) == len(set(used))


def test_unique_path_on_trees_and_dags():
    tree = nx.bfs_tree(nx.balanced_tree(2, 3), 0)
    for finish in tree:
        answer = ky.run("uniquePathTest", tree, startNode=0, finishNode=finish)
        assert answer.unique_path_exists
        assert [v for _, v, _ in answer.edge_list] == nx.shortest_path(tree, 0, finish)[1:]
    dag = random_dag(nodes=12, edges=20)
    for start, finish in itertools.combinations(range(12), 2):
        paths = len(list(nx.all_simple_paths(dag, start, finish)))
        answer = ky.run("uniquePathTest", dag, startNode=start, finishNode=finish)
        assert answer.unique_path_exists == (paths == 1)


@pytest.mark.parametrize("seed", [3, 4])
def test_sorted_walks_match_shortest_simple_paths_on_dags(seed):
    dag = random_dag(nodes=30, edges=120, seed=seed)
    expected = nx.shortest_simple_paths(dag, 0, 29, weight="weight")
    expected = [nx.path_weight(dag, p, "weight") for p in itertools.islice(expected, 40)]
    walks = list(itertools.islice(ky.shortest_walks(dag, 0, 29, cost="weight"), 40))
    assert [w.cost for w in walks] == expected
    for walk in walks:
        assert walk.nodes[0] == 0 and walk.nodes[-1] == 29
        assert walk_cost(dag, walk.edges, 0, 29) == walk.cost
    assert len({tuple(w.nodes) for w in walks}) == len(walks)
