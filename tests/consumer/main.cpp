// Sets up a breadth-first search request on an installed kyanalysis and reads
// an answer back: proof that the package, its headers and its libraries are
// usable from outside the source tree. Built with KY_CONSUMER_ENGINE, the
// local engine answers; with KY_CONSUMER_REMOTE, the service at the URL of
// the first argument; with KY_CONSUMER_SERVER, a server the program starts
// on a free loopback port; without any, the answer is written by hand.
#ifdef KY_CONSUMER_ENGINE
#include <kyengine/kyengine.h>
#elif defined(KY_CONSUMER_REMOTE)
#include <kyremote/kyremote.h>
#elif defined(KY_CONSUMER_SERVER)
#include <kyremote/kyremote.h>
#include <kyserver/kyserver.h>
#else
#include <kyanalysis/kyanalysis.h>
#endif

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
  const std::string url = argc > 1 ? argv[1] : "";
  KyGraph graph;
  KyNode* a = graph.addNode();
  KyNode* b = graph.addNode();
  graph.addEdge(a, b);

  KyServiceInputData request;
  KyBreadthFirstSearchInputTailor input(&request);
  input.pGraph(&graph);
  input.setAsCurrentOperation();
  input.pStartNode(a);

  KyServiceOutputData answer;
#ifdef KY_CONSUMER_ENGINE
  const bool answered = KyLocalAnalysisService().run(&request, &answer) == ANALYSIS_ERROR_NONE;
#elif defined(KY_CONSUMER_REMOTE)
  const bool answered = KyRemoteAnalysisService(std::wstring(url.begin(), url.end()).c_str())
                            .run(&request, &answer) == ANALYSIS_ERROR_NONE;
#elif defined(KY_CONSUMER_SERVER)
  KyAnalysisServerOptions options;
  options.port = 0;
  options.threads = 1;
  KyAnalysisServer server(options);
  const std::string served = server.start() == SERVER_STARTED ? server.url() : "";
  const bool answered =
      !served.empty() && KyRemoteAnalysisService(std::wstring(served.begin(), served.end()).c_str())
                                 .run(&request, &answer) == ANALYSIS_ERROR_NONE;
  server.stop();
#else
  answer.storeOwned(b, KyAnalysisKey::breadthFirstSearch::nodeOrderNumber, new KyInt(2));
  const bool answered = true;
#endif
  KyBreadthFirstSearchOutputTailor output(&answer);

  const bool ok = answered && input.operationType() == OPERATION_BREADTH_FIRST_SEARCH &&
                  input.pStartNode() == a && input.undirected() == 0 &&
                  output.orderNumber(b) == 2 && request.pServiceName() != nullptr;
  std::printf("consumer: %s\n", ok ? "ok" : "FAILED");
  return ok ? 0 : 1;
}
