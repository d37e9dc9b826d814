// The igraph side of the end-to-end benchmark, as a process of its own:
// reads a "source target cost" edge list with igraph's name-and-weight
// reader (directed), runs Dijkstra between the two named nodes and prints
// the cost of the cheapest path, or "none".
//
//   igraph_dijkstra FILE START FINISH
#include <igraph.h>

#include <cmath>
#include <cstdio>
#include <cstring>

namespace {

igraph_integer_t vertexNamed(const igraph_t& graph, const char* name) {
  for (igraph_integer_t v = 0; v < igraph_vcount(&graph); ++v)
    if (std::strcmp(VAS(&graph, "name", v), name) == 0)
      return v;
  return -1;
}

} // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: igraph_dijkstra FILE START FINISH\n");
    return 2;
  }
  igraph_set_attribute_table(&igraph_cattribute_table);
  std::FILE* file = std::fopen(argv[1], "r");
  if (file == nullptr) {
    std::fprintf(stderr, "%s: cannot be read\n", argv[1]);
    return 1;
  }
  igraph_t graph;
  const igraph_error_t read =
      igraph_read_graph_ncol(&graph, file, nullptr, true, IGRAPH_ADD_WEIGHTS_YES, true);
  std::fclose(file);
  if (read != IGRAPH_SUCCESS)
    return 1;

  const igraph_integer_t from = vertexNamed(graph, argv[2]);
  const igraph_integer_t to = vertexNamed(graph, argv[3]);
  if (from < 0 || to < 0) {
    std::fprintf(stderr, "no such node\n");
    igraph_destroy(&graph);
    return 1;
  }
  igraph_vector_t weights;
  igraph_vector_init(&weights, 0);
  EANV(&graph, "weight", &weights);
  igraph_vector_int_t edges;
  igraph_vector_int_init(&edges, 0);
  igraph_get_shortest_path_dijkstra(&graph, nullptr, &edges, from, to, &weights, IGRAPH_OUT);
  double cost = 0;
  for (igraph_integer_t i = 0; i < igraph_vector_int_size(&edges); ++i)
    cost += VECTOR(weights)[VECTOR(edges)[i]];
  if (igraph_vector_int_size(&edges) == 0 && from != to)
    std::printf("none\n");
  else
    std::printf("%ld\n", std::lround(cost));
  igraph_vector_int_destroy(&edges);
  igraph_vector_destroy(&weights);
  igraph_destroy(&graph);
  return 0;
}
