// ServiceChoice: the local engine, or a service named on the command line.
#pragma once

#include <iosfwd>
#include <string>

class KyServiceInputData;
class KyServiceOutputData;

namespace CLI {
class App;
} // namespace CLI

namespace kyanalyze {

/// Where `run` and `paths` send their request: the local engine, or the
/// service at --service URL, with the token of --token-file, the
/// authorities of --ca-file, --timeout seconds to wait and --retries.
class ServiceChoice {
public:
  /// Adds --service, --token-file, --ca-file, --timeout and --retries to
  /// `command`.
  void attach(CLI::App& command);
  /// Has the chosen service answer `input` into `output` and returns the
  /// outcome code; -1, with one line on `err`, when the token file cannot
  /// be read or the URL is not UTF-8.
  int answer(KyServiceInputData& input, KyServiceOutputData& output, std::ostream& err) const;

private:
  std::string url_;
  std::string tokenFile_;
  std::string authorityFile_;
  int timeout_ = 300;
  int retries_ = 2;
};

/// The first line of `path` without surrounding white space: a service's
/// token. False when the file cannot be read or that line is empty.
bool readToken(const std::string& path, std::string& token);

} // namespace kyanalyze
