#include "DecodeCommand.h"

#include "Document.h"

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
  const char* where = "standard input";
  LoadedRequest request;
  std::string error;
  {
    std::string text{std::istreambuf_iterator<char>(in_), std::istreambuf_iterator<char>()};
    unsigned long length = 0;
    const std::unique_ptr<unsigned char[]> document(KyXMLUtilities::decodeBase64(
        reinterpret_cast<const unsigned char*>(text.c_str()), &length));
    // A zero byte would end the text early: the decoder would see less than was sent.
    if (document == nullptr || text.find('\0') != std::string::npos) {
      err << "kyanalyze: " << where << ": not valid base 64\n";
      return kExitFailure;
    }
    std::string().swap(text); // the text goes before the document is read
    if (!loadRequest(std::string_view(reinterpret_cast<const char*>(document.get()), length), where,
                     request, error)) {
      err << "kyanalyze: " << error << '\n';
      return kExitFailure;
    }
  } // and the document before the request is written
  const auto piece = [&out](const unsigned char* bytes, std::size_t length) {
    out.write(reinterpret_cast<const char*>(bytes), static_cast<std::streamsize>(length));
  };
  if (!writeDocument(request.graph.get(), request.data, true, piece, error)) {
    err << "kyanalyze: " << where << ": " << error << '\n';
    return kExitFailure;
  }
  return kExitOk;
}

} // namespace kyanalyze
