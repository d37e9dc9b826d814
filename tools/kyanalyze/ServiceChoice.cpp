#include "ServiceChoice.h"

#include "Text.h"

#include <kyengine/KyLocalAnalysisService.h>
#include <kyremote/KyRemoteAnalysisService.h>

#include <CLI/CLI.hpp>

#include <algorithm>
#include <fstream>
#include <ostream>

namespace kyanalyze {

void ServiceChoice::attach(CLI::App& command) {
  CLI::Option* service = command.add_option(
      "--service", url_, "Send the request to the service at this URL (http://HOST:PORT)");
  command.add_option("--token-file", tokenFile_, "File whose first line is the service's token")
      ->needs(service);
  command
      .add_option("--ca-file", authorityFile_,
                  "PEM file of the certificate authorities to trust for an https service")
      ->needs(service);
  command
      .add_option("--timeout", timeout_,
                  "Seconds to wait for the service's answer (the connection: 10 at most)")
      ->capture_default_str()
      ->check(CLI::Range(1, 86400))
      ->needs(service);
  command
      .add_option("--retries", retries_,
                  "Times to send the request again when no connection could be made, the service "
                  "was busy or the connection broke off")
      ->capture_default_str()
      ->check(CLI::Range(0, 10))
      ->needs(service);
}

int ServiceChoice::answer(KyServiceInputData& input, KyServiceOutputData& output,
                          std::ostream& err) const {
  if (url_.empty())
    return KyLocalAnalysisService().run(&input, &output);
  std::wstring url;
  std::wstring token;
  std::wstring authorityFile;
  std::string narrowToken;
  if (!tokenFile_.empty() && !readToken(tokenFile_, narrowToken)) {
    err << "kyanalyze: " << tokenFile_ << ": cannot be read or holds no token\n";
    return -1;
  }
  if (!fromUtf8(url_, url) || !fromUtf8(narrowToken, token) ||
      !fromUtf8(authorityFile_, authorityFile)) {
    err << "kyanalyze: --service: the URL is not UTF-8\n";
    return -1;
  }
  KyRemoteAnalysisService service(url.c_str());
  service.pToken(token.c_str());
  service.pCertificateAuthorityFile(authorityFile.c_str());
  service.readTimeLimit(timeout_ * 1000);
  service.connectTimeLimit(std::min(timeout_, 10) * 1000);
  service.retries(retries_);
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
