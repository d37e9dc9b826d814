#include <kyformats/KyPathListing.h>

#include "KyAnswerModel_p.h"
#include "KyAnswerText_p.h"

#include <kyformats/KyAnalysisRequest.h>

#include <kyanalysis/KyAnalysisKeys.h>
#include <kyplatform/KyNode.h>

#include <ostream>

using KyAnswerModel::Json;

struct KyPathListing::Model {
  const KyGraphNames& names;
  const KyNode* start;
  const KyNode* finish;
  Json paths;
  int scale;
};

KyPathListing::KyPathListing(const KyAnalysisRequest& request, KyServiceOutputData& output,
                             int limit) {
  const KyServiceInputData& input = request.input();
  const auto* start = dynamic_cast<const KyNode*>(
      input.pValue(&request.graph(), KyAnalysisKey::sortedPaths::graphStartNode));
  const auto* finish = dynamic_cast<const KyNode*>(
      input.pValue(&request.graph(), KyAnalysisKey::sortedPaths::graphFinishNode));
  const KyAnswerModel::AnsweredGraph answered(request.graph(), request.originalEdges());
  model_ = std::make_unique<Model>(Model{request.names(), start, finish,
                                         KyAnswerModel::pathsJson(output, start, answered, limit),
                                         request.scale()});
  const int costScale = request.scaleOf("cost");
  if (costScale != 1)
    for (Json& path : model_->paths)
      path["cost"] = path.at("cost").get<double>() / costScale;
}

KyPathListing::~KyPathListing() = default;

std::string KyPathListing::json() const {
  const auto node = [](const KyNode* node) {
    return node != nullptr ? KyAnswerModel::nodeJson(node) : Json(nullptr);
  };
  Json listing{{"from", node(model_->start)}, {"to", node(model_->finish)}};
  if (model_->scale != 1)
    listing["scale"] = model_->scale;
  listing["paths"] = model_->paths;
  return listing.dump(2);
}

void KyPathListing::writeText(std::ostream& out) const {
  if (model_->scale != 1)
    out << "scale: " << model_->scale
        << " (the values read were multiplied by it; costs are divided back)\n";
  if (model_->paths.empty())
    out << "no path from " << model_->names.member(model_->start) << " to "
        << model_->names.member(model_->finish) << '\n';
  for (const Json& path : model_->paths)
    out << KyAnswerText::pathText(path, model_->names) << '\n';
}
