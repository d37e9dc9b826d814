// The C++ side of the Python benchmark, as a process of its own: the
// library doing what the Python call does, from edge arrays in memory to
// the answer read. Reads the arrays from FILE (int64 nodes, edges, start,
// finish, then int32 sources, targets and costs), then REPEAT times builds
// the graph, stores the costs, runs shortestPaths on the local engine and
// reads the cost and the edge list; prints the median wall-clock seconds
// and the cost.
//
//   array_shortest_path FILE REPEAT
#include <kyengine/kyengine.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <vector>

namespace {

template <class T> bool readArray(std::ifstream& in, std::vector<T>& values, std::size_t count) {
  values.resize(count);
  return static_cast<bool>(in.read(reinterpret_cast<char*>(values.data()),
                                   static_cast<std::streamsize>(count * sizeof(T))));
}

} // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: array_shortest_path FILE REPEAT\n");
    return 2;
  }
  std::ifstream in(argv[1], std::ios::binary);
  std::vector<std::int64_t> header;
  std::vector<std::int32_t> sources, targets, costs;
  if (!readArray(in, header, 4) || !readArray(in, sources, static_cast<std::size_t>(header[1])) ||
      !readArray(in, targets, sources.size()) || !readArray(in, costs, sources.size())) {
    std::fprintf(stderr, "array_shortest_path: cannot read %s\n", argv[1]);
    return 1;
  }
  const int nodes = static_cast<int>(header[0]);
  std::vector<double> seconds;
  int cost = 0;
  std::size_t length = 0;
  for (int round = 0; round < std::atoi(argv[2]); ++round) {
    const auto started = std::chrono::steady_clock::now();
    KyGraph graph;
    for (int i = 0; i < nodes; ++i)
      graph.addNode();
    for (std::size_t i = 0; i < sources.size(); ++i)
      graph.addEdge(graph.pNodeAt(sources[i]), graph.pNodeAt(targets[i]));
    KyServiceInputData request;
    KyShortestPathsInputTailor input(&request);
    input.pGraph(&graph);
    input.setAsCurrentOperation();
    input.pStartNode(graph.pNodeAt(static_cast<int>(header[2])));
    input.pFinishNode(graph.pNodeAt(static_cast<int>(header[3])));
    request.storeMemberIntegers(KyAnalysisKey::shortestPaths::edgeCost, graph, true,
                                std::vector<int>(costs.begin(), costs.end()), 0);
    KyServiceOutputData answer;
    KyLocalAnalysisService().run(&request, &answer);
    KyShortestPathsOutputTailor output(&answer);
    KyEdgeDList path;
    output.buildEdgeList(path);
    cost = output.totalCost();
    length = static_cast<std::size_t>(path.length());
    seconds.push_back(
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count());
  }
  std::sort(seconds.begin(), seconds.end());
  std::printf("seconds %.6f cost %d edges %zu\n", seconds[seconds.size() / 2], cost, length);
  return 0;
}
