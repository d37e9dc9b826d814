#include "KyPythonRun.h"

#include <kyanalysis/KyAnalysisKeys.h>
#include <kyanalysis/KyAnalysisServiceName.h>
#include <kyanalysis/KyClusteringInputTailor.h>
#include <kyengine/KyLocalAnalysisService.h>
#include <kyplatform/KyDouble.h>
#include <kyplatform/KyNodeDList.h>

#include <limits>
#include <mutex>
#include <stdexcept>
#include <string>

KyPythonRun::KyPythonRun(std::shared_ptr<const KyPythonGraph> graph, int operation, bool twins)
    : shared_(std::move(graph)), graph_(&shared_->graph()), operation_(operation) {
  if (twins) {
    twinGraph_ = std::make_unique<KyGraph>();
    const int nodes = shared_->nodes();
    const int edges = shared_->edges();
    for (int i = 0; i < nodes; ++i)
      twinGraph_->addNode();
    for (int i = 0; i < edges; ++i)
      twinGraph_->addEdge(twinGraph_->pNodeAt(shared_->source(i)),
                          twinGraph_->pNodeAt(shared_->target(i)));
    for (int i = 0; i < edges; ++i)
      twinGraph_->addEdge(twinGraph_->pNodeAt(shared_->target(i)),
                          twinGraph_->pNodeAt(shared_->source(i)));
    graph_ = twinGraph_.get();
  }
  input_.pServiceName(new KyAnalysisServiceName);
  input_.storeReference(nullptr, KyAnalysisKey::all::noneGraph, graph_);
  input_.storeInteger(nullptr, KyAnalysisKey::all::noneOperation, operation);
}

KyPythonRun::~KyPythonRun() = default;

void KyPythonRun::setInteger(const wchar_t* key, int value) {
  input_.storeInteger(graph_, key, value);
}

void KyPythonRun::setDouble(const wchar_t* key, double value) {
  input_.storeDouble(graph_, key, value);
}

KyNode* KyPythonRun::node(int position) const {
  if (position < 0 || position >= graph_->numberOfNodes())
    throw std::out_of_range("node position " + std::to_string(position) + " outside a graph of " +
                            std::to_string(graph_->numberOfNodes()) + " nodes");
  return graph_->pNodeAt(position);
}

void KyPythonRun::setNode(const wchar_t* key, int position) {
  input_.storeReference(graph_, key, node(position));
}

void KyPythonRun::setNodeList(const wchar_t* key, const std::vector<int>& positions) {
  auto list = std::make_unique<KyNodeDList>();
  for (int position : positions)
    list->appendNode(node(position));
  input_.storeOwned(graph_, key, list.release());
}

void KyPythonRun::setMemberIntegers(const wchar_t* key, bool edges,
                                    const std::vector<int>& values) {
  // storeMemberIntegers() skips positions holding its `missing` value: the
  // least integer, stored one by one where it is meant.
  constexpr int kSkipped = std::numeric_limits<int>::min();
  std::vector<int> all(values);
  if (edges && twinGraph_ != nullptr)
    all.insert(all.end(), values.begin(), values.end());
  input_.storeMemberIntegers(key, *graph_, edges, all, kSkipped);
  for (std::size_t i = 0; i < all.size(); ++i)
    if (all[i] == kSkipped) {
      const int position = static_cast<int>(i);
      KyObject* owner = edges ? static_cast<KyObject*>(graph_->pEdgeAt(position))
                              : static_cast<KyObject*>(graph_->pNodeAt(position));
      input_.storeInteger(owner, key, kSkipped);
    }
}

void KyPythonRun::addConstraint(int type, const std::vector<int>& positions) {
  if (type < CLUSTERING_CONSTRAINT_SAME_CLUSTER || type > CLUSTERING_CONSTRAINT_COMPLETE_CLUSTER)
    throw std::invalid_argument("no clustering constraint has the type " + std::to_string(type));
  KyNodeDList nodes;
  for (int position : positions)
    nodes.appendNode(node(position));
  KyClusteringInputTailor tailor(&input_);
  KyClusteringConstraint* constraint = nullptr;
  if (type == CLUSTERING_CONSTRAINT_SAME_CLUSTER)
    constraint = tailor.addSameClusterConstraint(&nodes);
  else if (type == CLUSTERING_CONSTRAINT_DIFFERENT_CLUSTERS)
    constraint = tailor.addDifferentClusterConstraint(&nodes);
  else
    constraint = tailor.addCompleteClusterConstraint(&nodes);
  constraints_.push_back(constraint);
}

int KyPythonRun::execute(const std::optional<KyRemoteAnalysisService>& service) {
  std::lock_guard<std::mutex> hold(shared_->busy());
  return service ? service->run(&input_, &output_)
                 : KyLocalAnalysisService().run(&input_, &output_);
}
