// Reads an edge list with a cost column from a text through an installed
// kyformats and prints its node count: proof that the formats library, its
// headers and the libraries below it are usable from outside the source
// tree.
#include <kyformats/kyformats.h>

#include <cstdio>
#include <string>

int main() {
  KyGraphData data;
  std::string error;
  if (!KyGraphReader().readText("source,target,cost\na,b,3\nb,c,4\nd\n", "text", data, error)) {
    std::printf("consumer_formats: FAILED: %s\n", error.c_str());
    return 1;
  }
  const bool ok = data.graph->numberOfNodes() == 4 && data.graph->numberOfEdges() == 2 &&
                  data.edgeColumns.size() == 1 && data.edgeColumns[0].values.size() == 2;
  std::printf("consumer_formats: %d nodes, %s\n", data.graph->numberOfNodes(),
              ok ? "ok" : "FAILED");
  return ok ? 0 : 1;
}
