// kyanalyze: command-line tool of the analysis service client library.
#include "Command.h"
#include "ConvertCommand.h"
#include "DecodeCommand.h"
#include "DescribeCommand.h"
#include "EncodeCommand.h"
#include "HelpCommand.h"
#include "PathsCommand.h"
#include "RunCommand.h"
#include "ServeCommand.h"
#include "ShowCommand.h"

#include <CLI/CLI.hpp>

#include <iostream>
#include <memory>
#include <utility>
#include <vector>

using namespace kyanalyze;

int main(int argc, char** argv) {
  CLI::App app{"Inspect the analyses of the graph-analysis service and run them", "kyanalyze"};
  app.require_subcommand(0, 1);
  app.set_version_flag("--version", "kyanalyze " KYANALYZE_VERSION);

  // A new command is one more line here.
  std::vector<std::pair<std::unique_ptr<Command>, CLI::App*>> commands;
  auto add = [&](std::unique_ptr<Command> command) {
    CLI::App* subcommand = command->attach(app);
    commands.emplace_back(std::move(command), subcommand);
  };
  add(std::make_unique<DescribeCommand>());
  add(std::make_unique<RunCommand>());
  add(std::make_unique<PathsCommand>());
  add(std::make_unique<ConvertCommand>());
  add(std::make_unique<ShowCommand>());
  add(std::make_unique<EncodeCommand>());
  add(std::make_unique<DecodeCommand>(std::cin));
  add(std::make_unique<ServeCommand>());
  add(std::make_unique<HelpCommand>());

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& error) {
    // Help and version requests exit 0; every other parse failure is a usage error.
    return app.exit(error) == 0 ? kExitOk : kExitUsage;
  }

  for (auto& [command, subcommand] : commands)
    if (subcommand->parsed()) {
      int status = command->run(std::cout, std::cerr);
      if (!std::cout.flush()) {
        std::cerr << "kyanalyze: cannot write the output\n";
        return kExitFailure;
      }
      return status;
    }

  std::cerr << app.help();
  return kExitUsage;
}
