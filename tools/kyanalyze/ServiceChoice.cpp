#include "ServiceChoice.h"

#include "Text.h"

#include <kyengine/KyLocalAnalysisService.h>
#include <kyremote/KyRemoteAnalysisService.h>

#include <CLI/CLI.hpp>

#include <fstream>
#include <ostream>

namespace kyanalyze {

void ServiceChoice::attach(CLI::App& command) {
  CLI::Option* service = command.add_option(
      "--service", url_, "Send the request to the service at this URL (http://HOST:PORT)");
  command.add_option("--token-file", tokenFile_, "File whose first line is the service's token")
      ->needs(service);
}

int ServiceChoice::answer(KyServiceInputData& input, KyServiceOutputData& output,
                          std::ostream& err) const {
  if (url_.empty())
    return KyLocalAnalysisService().run(&input, &output);
  std::wstring url;
  std::wstring token;
  std::string narrowToken;
  if (!tokenFile_.empty() && !readToken(tokenFile_, narrowToken)) {
    err << "kyanalyze: " << tokenFile_ << ": cannot be read or holds no token\n";
    return -1;
  }
  if (!fromUtf8(url_, url) || !fromUtf8(narrowToken, token)) {
    err << "kyanalyze: --service: the URL is not UTF-8\n";
    return -1;
  }
  KyRemoteAnalysisService service(url.c_str());
  service.pToken(token.c_str());
  return service.run(&input, &output);
}

bool readToken(const std::string& path, std::string& token) {
  std::ifstream in(path, std::ios::binary);
  if (!in || !std::getline(in, token))
    return false;
  const char* space = " \t\r\n";
  const std::size_t first = token.find_first_not_of(space);
  if (first == std::string::npos)
    return false;
  token = token.substr(first, token.find_last_not_of(space) - first + 1);
  return true;
}

} // namespace kyanalyze
