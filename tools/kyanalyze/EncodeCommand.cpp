#include "EncodeCommand.h"

#include "Document.h"
#include "InputFile.h"

#include <kyanalysis/KyAnalysisSerializer.h>

#include <CLI/CLI.hpp>

#include <memory>
#include <ostream>

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
  unsigned char* encoded = nullptr;
  unsigned long length = 0;
  if (KyAnalysisSerializer().pInputDataToString(&request.data, nullptr, encoded, &length) == 0) {
    err << "kyanalyze: " << shownPath(file_) << ": the request cannot be encoded\n";
    return kExitFailure;
  }
  const std::unique_ptr<unsigned char[]> owned(encoded);
  out.write(reinterpret_cast<const char*>(encoded), static_cast<std::streamsize>(length));
  out << '\n';
  return kExitOk;
}

} // namespace kyanalyze
