#include "EncodeCommand.h"

#include "Text.h"

#include <kyformats/KyAnalysisDocument.h>

#include <CLI/CLI.hpp>

#include <ostream>

namespace kyanalyze {

CLI::App* EncodeCommand::attach(CLI::App& app) {
  CLI::App* command =
      app.add_subcommand("encode", "Print the base-64 form of an analysis document's request");
  command->add_option("file", file_, "Analysis document; - reads standard input")->required();
  return command;
}

int EncodeCommand::run(std::ostream& out, std::ostream& err) {
  KyAnalysisDocument document;
  std::string error;
  if (!document.readFile(file_, error)) {
    err << "kyanalyze: " << error << '\n';
    return kExitFailure;
  }
  if (!document.writeBase64(out, error)) {
    err << "kyanalyze: " << shownPath(file_) << ": the request cannot be encoded\n";
    return kExitFailure;
  }
  out << '\n';
  return kExitOk;
}

} // namespace kyanalyze
