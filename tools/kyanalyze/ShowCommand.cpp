#include "ShowCommand.h"

#include <kyformats/KyAnalysisDocument.h>
#include <kyformats/KyRequestListing.h>

#include <CLI/CLI.hpp>

#include <ostream>

namespace kyanalyze {

CLI::App* ShowCommand::attach(CLI::App& app) {
  CLI::App* command = app.add_subcommand("show", "Print the request an analysis document holds");
  command->add_option("file", file_, "Analysis document; - reads standard input")->required();
  return command;
}

int ShowCommand::run(std::ostream& out, std::ostream& err) {
  KyAnalysisDocument document;
  std::string error;
  if (!document.readFile(file_, error)) {
    err << "kyanalyze: " << error << '\n';
    return kExitFailure;
  }
  KyRequestListing::write(out, *document.graph, document.request);
  return kExitOk;
}

} // namespace kyanalyze
