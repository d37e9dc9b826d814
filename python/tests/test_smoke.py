import networkx as nx

import kyanalysis as ky


def test_shortest_path_on_karate_matches_networkx():
    graph = nx.karate_club_graph()
    answer = ky.run("shortestPaths", graph, startNode=0, finishNode=33, cost="weight")
    assert answer.total_cost == nx.dijkstra_path_length(graph, 0, 33, weight="weight")
    assert [u for u, _, _ in answer.edge_list] + [33] == nx.dijkstra_path(graph, 0, 33,
                                                                          weight="weight")
