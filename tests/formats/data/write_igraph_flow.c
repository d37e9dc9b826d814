/* Writes flow-igraph.graphml as igraph 0.10's own GraphML writer does with
   attribute prefixes off, the form in which a node and an edge attribute of
   one name share a key id. Built and run by make_real_files.py. */
#include <igraph/igraph.h>
#include <stdio.h>

int main(int argc, char **argv) {
  static const char *names[] = {"s", "a", "b", "t"};
  static const igraph_real_t node_capacities[] = {0, 4, 6, 0};
  static const igraph_integer_t ends[] = {0, 1, 0, 2, 1, 3, 2, 3, 1, 2};
  static const igraph_real_t edge_capacities[] = {7, 8, 6, 9, 3};
  igraph_t graph;
  igraph_vector_int_t edges;
  FILE *out;
  igraph_integer_t i;

  if (argc != 2)
    return 2;
  igraph_set_attribute_table(&igraph_cattribute_table);
  igraph_vector_int_view(&edges, ends, 10);
  igraph_create(&graph, &edges, 4, IGRAPH_DIRECTED);
  for (i = 0; i < 4; i++) {
    SETVAS(&graph, "name", i, names[i]);
    if (node_capacities[i] > 0)
      SETVAN(&graph, "capacity", i, node_capacities[i]);
  }
  for (i = 0; i < 5; i++)
    SETEAN(&graph, "capacity", i, edge_capacities[i]);
  out = fopen(argv[1], "w");
  if (out == NULL)
    return 1;
  igraph_write_graph_graphml(&graph, out, /* prefixattr = */ 0);
  fclose(out);
  igraph_destroy(&graph);
  return 0;
}
