#!/usr/bin/python3
"""Writes the graph files of this folder as other graph tools write them,
with the answers those tools' own readers and algorithms give, which the
formats tests expect of this library. Run once, by hand, from this folder:

    /usr/bin/python3 make_real_files.py

It needs Debian's python3-networkx (2.8), python3-igraph and libigraph-dev
(0.10) and a C compiler; the tests need none of them, only the files this
writes. igraph's Python module writes GraphML with attribute prefixes
("v_name"); its C library, which write_igraph_flow.c calls, can also write
without them.
"""
import csv
import math
import os
import subprocess
import tempfile

import igraph
import networkx as nx

# Les Misérables co-appearances: 77 characters, 254 weighted edges.
lesmis = nx.les_miserables_graph()
order = list(lesmis.nodes)

nx.write_graphml(lesmis, "lesmis-networkx.graphml")

ig = igraph.Graph(directed=False)
ig.add_vertices(order)
ig.add_edges([(u, v) for u, v in lesmis.edges])
ig.es["weight"] = [w for _, _, w in lesmis.edges(data="weight")]
ig.write_graphml("lesmis-igraph.graphml")

# NetworkX writes float weights as 3.0; Python writes Booleans as True.
as_floats = nx.Graph()
as_floats.add_nodes_from(order)
as_floats.add_weighted_edges_from((u, v, float(w)) for u, v, w in lesmis.edges(data="weight"))
nx.write_weighted_edgelist(as_floats, "lesmis-networkx.edgelist")
with open("lesmis-python.csv", "w", newline="") as out:
    writer = csv.writer(out)
    writer.writerow(["Source", "Target", "weight", "undirected", "label"])
    for u, v, w in as_floats.edges(data="weight"):
        writer.writerow([u, v, w, True, f"{u} & {v}"])

# The weighted shortest path lengths NetworkX finds on the file it wrote,
# read back with its own reader, one row per source, in the order of the
# first line's names.
lengths = dict(nx.all_pairs_dijkstra_path_length(nx.read_graphml("lesmis-networkx.graphml")))
with open("lesmis-distances.txt", "w") as out:
    out.write(" ".join(order) + "\n")
    for source in order:
        out.write(" ".join(str(lengths[source][target]) for target in order) + "\n")
# igraph's own reader and algorithm give the same lengths.
back = igraph.Graph.Read_GraphML("lesmis-igraph.graphml")
names = back.vs["name"]
matrix = back.distances(weights="weight")
assert all(matrix[names.index(s)][names.index(t)] == lengths[s][t] for s in order for t in order)

# A network whose nodes and edges both have a capacity under one key id.
EDGES = [("s", "a", 7), ("s", "b", 8), ("a", "t", 6), ("b", "t", 9), ("a", "b", 3)]
NODES = {"a": 4, "b": 6}

flow = nx.DiGraph()
flow.add_nodes_from(["s", "a", "b", "t"])
for node, capacity in NODES.items():
    flow.nodes[node]["capacity"] = capacity
for u, v, capacity in EDGES:
    flow.add_edge(u, v, capacity=capacity)
nx.write_graphml(flow, "flow-networkx.graphml", named_key_ids=True)

# The same network, as the C program writes it from the same numbers.
with tempfile.TemporaryDirectory() as scratch:
    program = os.path.join(scratch, "write_igraph_flow")
    flags = subprocess.check_output(["pkg-config", "--cflags", "--libs", "igraph"], text=True)
    subprocess.check_call(["cc", "write_igraph_flow.c", "-o", program] + flags.split())
    subprocess.check_call([program, "flow-igraph.graphml"])


def split(graph):
    """The graph with each node of a capacity split into an inner edge."""
    result = nx.DiGraph()
    for u, v, data in graph.edges(data=True):
        result.add_edge(f"{u}/out", f"{v}/in", capacity=data["capacity"])
    for node, data in graph.nodes(data=True):
        if data.get("capacity"):
            result.add_edge(f"{node}/in", f"{node}/out", capacity=data["capacity"])
        else:
            result.add_edge(f"{node}/in", f"{node}/out")
    return result


# Each tool reads its own file back and finds the maximum flow from s to t,
# the node capacities kept by splitting each such node in two.
networkx_flow = nx.maximum_flow_value(split(nx.read_graphml("flow-networkx.graphml")),
                                      "s/in", "t/out")
r = igraph.Graph.Read_GraphML("flow-igraph.graphml")
s_in = len(r.vs)
split_igraph = igraph.Graph(directed=True, n=2 * len(r.vs))
capacities = []
for e in r.es:
    split_igraph.add_edge(e.source + len(r.vs), e.target)
    capacities.append(e["capacity"])
for v in r.vs:
    split_igraph.add_edge(v.index, v.index + len(r.vs))
    unbounded = v["capacity"] is None or math.isnan(v["capacity"])
    capacities.append(10**9 if unbounded else v["capacity"])
names = r.vs["name"]
igraph_flow = split_igraph.maxflow_value(names.index("s"), names.index("t") + len(r.vs),
                                         capacity=capacities)
edges_alone = nx.maximum_flow_value(nx.read_graphml("flow-networkx.graphml"), "s", "t")
with open("flow-answers.txt", "w") as out:
    out.write(f"networkx {networkx_flow}\nigraph {int(igraph_flow)}\n"
              f"edge-capacities-alone {edges_alone}\n")
