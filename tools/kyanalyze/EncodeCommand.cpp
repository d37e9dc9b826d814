#include "EncodeCommand.h"

#include "Document.h"
#include "InputFile.h"

#include <kyanalysis/KyAnalysisKeys.h>
#include <kyplatform/KyXMLUtilities.h>

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
  // Whole groups of three bytes encode alone: each piece's are printed as
  // it comes, the one or two bytes left over wait for the next piece.
  unsigned char group[3];
  std::size_t waiting = 0;
  const auto print = [&out](const unsigned char* bytes, std::size_t length) {
    unsigned long encoded = 0;
    const std::unique_ptr<unsigned char[]> text(
        KyXMLUtilities::encodeBase64(bytes, static_cast<unsigned long>(length), &encoded));
    out.write(reinterpret_cast<const char*>(text.get()), static_cast<std::streamsize>(encoded));
  };
  const auto piece = [&](const unsigned char* bytes, std::size_t length) {
    while (waiting != 0 && waiting < 3 && length != 0) {
      group[waiting++] = *bytes++;
      --length;
    }
    if (waiting == 3) {
      print(group, 3);
      waiting = 0;
    }
    const std::size_t whole = length / 3 * 3;
    if (whole != 0)
      print(bytes, whole);
    for (std::size_t i = whole; i < length; ++i)
      group[waiting++] = bytes[i];
  };
  // As a request travels: on one line, with the graph the request names.
  auto* graph = dynamic_cast<KyGraph*>(request.data.pValue(nullptr, KyAnalysisKey::all::noneGraph));
  if (!writeDocument(graph, request.data, false, piece, error)) {
    err << "kyanalyze: " << shownPath(file_) << ": the request cannot be encoded\n";
    return kExitFailure;
  }
  if (waiting != 0)
    print(group, waiting);
  out << '\n';
  return kExitOk;
}

} // namespace kyanalyze
