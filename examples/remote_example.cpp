// Has the service at the URL of the first argument (`kyanalyze serve`)
// find the shortest road between two towns; the answer lands on the
// program's own map. docs/service.md shows the same lines.
#include <kyremote/kyremote.h>

#include <iostream>
#include <string>

int main(int argc, char** argv) {
  const std::string url = argc > 1 ? argv[1] : "http://127.0.0.1:8080";

  KyGraph map;
  KyNode* ashby = map.addNode();
  KyNode* carden = map.addNode();
  KyNode* harlow = map.addNode();
  KyEdge* north = map.addEdge(ashby, carden);
  KyEdge* onward = map.addEdge(carden, harlow);
  KyEdge* direct = map.addEdge(ashby, harlow);

  KyServiceInputData request;
  KyShortestPathsInputTailor input(&request);
  input.pGraph(&map);
  input.setAsCurrentOperation();
  input.pStartNode(ashby);
  input.pFinishNode(harlow);
  input.cost(north, 7);
  input.cost(onward, 8);
  input.cost(direct, 20);

  KyRemoteAnalysisService service(std::wstring(url.begin(), url.end()).c_str());
  KyServiceOutputData answer;
  const int code = service.run(&request, &answer);
  if (code != ANALYSIS_ERROR_NONE) {
    std::cerr << "the service did not answer: code " << code << '\n';
    return 1;
  }
  KyShortestPathsOutputTailor output(&answer);
  KyEdgeDList path;
  output.buildEdgeList(path);
  std::cout << "total cost " << output.totalCost() << " over " << path.length() << " roads, "
            << (path.pFirstCell()->pObject() == north ? "by Carden" : "direct") << '\n';
  return output.totalCost() == 15 ? 0 : 1;
}
