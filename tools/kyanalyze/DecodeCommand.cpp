#include "DecodeCommand.h"

#include <kyformats/KyAnalysisDocument.h>

#include <CLI/CLI.hpp>

#include <ostream>

namespace kyanalyze {

CLI::App* DecodeCommand::attach(CLI::App& app) {
  return app.add_subcommand("decode",
                            "Turn a base-64 request on standard input into an analysis document");
}

int DecodeCommand::run(std::ostream& out, std::ostream& err) {
  const char* where = "standard input";
  KyAnalysisDocument document;
  std::string error;
  if (!document.readBase64(in_, where, error)) {
    err << "kyanalyze: " << error << '\n';
    return kExitFailure;
  }
  const auto piece = [&out](const unsigned char* bytes, std::size_t length) {
    out.write(reinterpret_cast<const char*>(bytes), static_cast<std::streamsize>(length));
  };
  if (!KyAnalysisDocument::write(document.graph.get(), document.request, true, piece, error)) {
    err << "kyanalyze: " << where << ": " << error << '\n';
    return kExitFailure;
  }
  return kExitOk;
}

} // namespace kyanalyze
