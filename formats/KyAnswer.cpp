#include <kyformats/KyAnswer.h>

#include "KyAnswerDrawing_p.h"
#include "KyAnswerModel_p.h"
#include "KyAnswerText_p.h"

#include <kyformats/KyAnalysisRequest.h>

#include <kyplatform/KyGraph.h>

struct KyAnswer::Model {
  Model(const KyGraph& graph, int originalEdges, const KyServiceInputData& request,
        const KyGraphNames& names)
      : answered(graph, originalEdges), request(request), names(names) {}

  KyAnswerModel::AnsweredGraph answered;
  const KyServiceInputData& request;
  const KyGraphNames& names;
  KyAnswerModel::Json answer;
};

KyAnswer::KyAnswer(const KyAnalysisRequest& request, KyServiceOutputData& output, int pathLimit)
    : model_(std::make_unique<Model>(request.graph(), request.originalEdges(), request.input(),
                                     request.names())) {
  model_->answer = KyAnswerModel::answerJson(request.operation(), model_->answered, request.input(),
                                             output, pathLimit);
  KyAnswerModel::unscale(model_->answer, request.scale(), request.scaleOf("cost"),
                         request.scaleOf("capacity"));
}

KyAnswer::KyAnswer(const KyGraph& graph, const KyServiceInputData& request,
                   KyServiceOutputData& output, const KyGraphNames& names, int pathLimit)
    : model_(std::make_unique<Model>(graph, graph.numberOfEdges(), request, names)) {
  model_->answer = KyAnswerModel::answerJson(KyAnalysisRequest::operationOf(request),
                                             model_->answered, request, output, pathLimit);
}

KyAnswer::~KyAnswer() = default;

std::string KyAnswer::json() const { return model_->answer.dump(2); }

void KyAnswer::writeText(std::ostream& out) const {
  KyAnswerText::write(out, model_->answer, model_->names);
}

void KyAnswer::writeCsv(std::ostream& out) const {
  KyAnswerText::writeCsv(out, model_->answer, model_->names);
}

void KyAnswer::writeDot(std::ostream& out) const {
  KyAnswerDrawing::write(out, model_->answered, model_->request, model_->answer, model_->names);
}
