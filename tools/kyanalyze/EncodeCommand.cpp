#include "EncodeCommand.h"

#include "Document.h"
#include "InputFile.h"

#include <kyanalysis/KyAnalysisKeys.h>
#include <kyplatform/KyBase64Encoder.h>

#include <CLI/CLI.hpp>

#include <ostream>
#include <vector>

namespace kyanalyze {

CLI::App* EncodeCommand::attach(CLI::App& app) {
  CLI::App* command =
      app.add_subcommand("encode", "Print the base-64 form of an analysis document's request");
  command->add_option("file", file_, "Analysis document; - reads standard input")->required();
  return command;
}

int EncodeCommand::run(std::ostream& out, std::ostream& err) {
  LoadedRequest request;
  std::string error;
  if (!loadRequestFile(file_, request, error)) {
    err << "kyanalyze: " << error << '\n';
    return kExitFailure;
  }
  // Each piece's text is printed as it comes.
  KyBase64Encoder encoder;
  std::vector<unsigned char> text;
  const auto piece = [&](const unsigned char* bytes, std::size_t length) {
    text.resize(KyBase64Encoder::encodedLength(length));
    const unsigned char* end = encoder.add(bytes, length, text.data());
    out.write(reinterpret_cast<const char*>(text.data()), end - text.data());
  };
  // As a request travels: on one line, with the graph the request names.
  auto* graph = dynamic_cast<KyGraph*>(request.data.pValue(nullptr, KyAnalysisKey::all::noneGraph));
  if (!writeDocument(graph, request.data, false, piece, error)) {
    err << "kyanalyze: " << shownPath(file_) << ": the request cannot be encoded\n";
    return kExitFailure;
  }
  unsigned char last[4];
  out.write(reinterpret_cast<const char*>(last), encoder.finish(last) - last);
  out << '\n';
  return kExitOk;
}

} // namespace kyanalyze
