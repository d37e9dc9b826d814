// DescribeCommand: `kyanalyze describe`, the options and results of the analyses.
#pragma once

#include "Command.h"

#include <string>

namespace CLI {
class Option;
} // namespace CLI

namespace kyanalyze {

/// Lists the analyses with their options (key, owner type, value type,
/// default, enumeration) and results (key, owner type, value type), as read
/// from the analysis service's descriptions, in aligned text or as JSON.
/// An analysis word narrows the listing to that analysis; the options and
/// results every request shares are always shown, in a section of their own.
class DescribeCommand : public Command {
public:
  CLI::App* attach(CLI::App& app) override;
  /// kExitOk, or kExitUsage with one line on `err` for an unknown analysis.
  int run(std::ostream& out, std::ostream& err) override;

private:
  std::string analysis_;
  CLI::Option* analysisOption_ = nullptr;
  bool json_ = false;
};

/// What `describe --json` prints: every analysis with its options and
/// results, and the shared ones.
std::string describeJson();

} // namespace kyanalyze
