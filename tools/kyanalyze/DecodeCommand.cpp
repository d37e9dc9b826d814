#include "DecodeCommand.h"

#include "ShowCommand.h"
#include "Utf8.h"

#include <kyanalysis/KyAnalysisXMLWriter.h>
#include <kyplatform/KyXMLUtilities.h>

#include <CLI/CLI.hpp>

#include <istream>
#include <iterator>
#include <memory>
#include <ostream>

namespace kyanalyze {

CLI::App* DecodeCommand::attach(CLI::App& app) {
  return app.add_subcommand("decode",
                            "Turn a base-64 request on standard input into an analysis document");
}

int DecodeCommand::run(std::ostream& out, std::ostream& err) {
  const std::string text{std::istreambuf_iterator<char>(in_), std::istreambuf_iterator<char>()};
  const char* where = "standard input";
  unsigned long length = 0;
  const std::unique_ptr<unsigned char[]> document(
      KyXMLUtilities::decodeBase64(reinterpret_cast<const unsigned char*>(text.c_str()), &length));
  // A zero byte would end the text early: the decoder would see less than was sent.
  if (document == nullptr || text.find('\0') != std::string::npos) {
    err << "kyanalyze: " << where << ": not valid base 64\n";
    return kExitFailure;
  }
  LoadedRequest request;
  loadRequest(std::string(reinterpret_cast<const char*>(document.get()), length), where, request);
  if (!request.error.empty()) {
    err << "kyanalyze: " << request.error << '\n';
    return kExitFailure;
  }

  unsigned char* buffer = nullptr;
  KyAnalysisXMLWriter writer(&buffer, 1, 0);
  writer.pGraph(request.graph.get());
  writer.pServiceInputData(&request.data);
  const int written = writer.write();
  const std::unique_ptr<unsigned char[]> owned(buffer);
  if (written == 0) {
    err << "kyanalyze: " << where << ": " << toUtf8(writer.pErrorMessage()) << '\n';
    return kExitFailure;
  }
  out.write(reinterpret_cast<const char*>(buffer),
            static_cast<std::streamsize>(writer.outputSize()));
  return kExitOk;
}

} // namespace kyanalyze
