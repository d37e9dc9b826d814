#!/usr/bin/env python3
"""Writes a large shortest-paths analysis document, indented as the library
writes files, for measuring kyanalyze on it:

    bench/make_request_document.py EDGES NODES > request.xml

A seeded random graph of NODES nodes and EDGES edges with a cost on every
edge, the start node n0 and the finish node n1.
"""
import random
import sys

edges, nodes = int(sys.argv[1]), int(sys.argv[2])
rng = random.Random(42)
out = sys.stdout
out.write('<?xml version="1.0" encoding="UTF-8" standalone="no" ?>\n<document>\n')
out.write('  <part name="graph">\n    <graph id="g0">\n')
out.writelines('      <node id="n%d"/>\n' % i for i in range(nodes))
out.writelines('      <edge id="e%d" source="n%d" target="n%d"/>\n'
               % (i, rng.randrange(nodes), rng.randrange(nodes)) for i in range(edges))
out.write('    </graph>\n  </part>\n  <part name="analysis">\n')
out.write('    <option key="all:none:graph" type="KyGraph">\n      <entry value="g0"/>\n'
          '    </option>\n')
out.write('    <option key="all:none:operation" type="Integer">\n      <entry value="10"/>\n'
          '    </option>\n')
out.write('    <option key="shortestPaths:edge:cost" type="Integer">\n')
out.writelines('      <entry owner="e%d" value="%d"/>\n' % (i, rng.randrange(1, 1000))
               for i in range(edges))
out.write('    </option>\n')
for name, node in (('finishNode', 1), ('startNode', 0)):
    out.write('    <option key="shortestPaths:graph:%s" type="KyNode">\n'
              '      <entry owner="g0" value="n%d"/>\n    </option>\n' % (name, node))
out.write('  </part>\n</document>\n')
