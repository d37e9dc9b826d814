// ShowCommand: `kyanalyze show FILE`, the request an analysis document holds.
#pragma once

#include "Command.h"

#include <kyplatform/KyGraph.h>
#include <kyplatform/KyServiceData.h>

#include <iosfwd>
#include <memory>
#include <string>

namespace kyanalyze {

/// A request loaded from an analysis document, with the graph it brought.
struct LoadedRequest {
  std::unique_ptr<KyGraph> graph{new KyGraph};
  KyServiceInputData data;
  /// Empty when the document was read; else one line saying why it was not.
  std::string error;
};

/// Reads the analysis document in `bytes` into `request`; `where` names the
/// source in the error ("FILE" or "standard input").
void loadRequest(const std::string& bytes, const std::string& where, LoadedRequest& request);
/// Reads the analysis document in the file `path` into `request`; false,
/// with one line on `err`, when the file cannot be read or holds no request.
bool loadRequestFile(const std::string& path, LoadedRequest& request, std::ostream& err);

/// Prints the operation, the graph's size, every option with its owner's
/// name and value, and the clustering constraints of a document's request.
class ShowCommand : public Command {
public:
  CLI::App* attach(CLI::App& app) override;
  /// kExitOk, or kExitFailure with one line on `err` when the file cannot
  /// be read or is not an analysis document.
  int run(std::ostream& out, std::ostream& err) override;

private:
  std::string file_;
};

} // namespace kyanalyze
