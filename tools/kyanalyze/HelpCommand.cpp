#include "HelpCommand.h"

#include "Text.h"

#include <CLI/CLI.hpp>

#include <ostream>

namespace kyanalyze {

CLI::App* HelpCommand::attach(CLI::App& app) {
  app_ = &app;
  CLI::App* command = app.add_subcommand("help", "Print the help of kyanalyze or of a command");
  command->add_option("command", command_, "The command to explain (e.g. run)");
  return command;
}

int HelpCommand::run(std::ostream& out, std::ostream& err) {
  // The app's own help() would show the help of the command parsed, this one.
  const auto formatter = app_->get_formatter();
  if (command_.empty()) {
    out << formatter->make_help(app_, app_->get_name(), CLI::AppFormatMode::Normal);
    return kExitOk;
  }
  for (const CLI::App* command : app_->get_subcommands({}))
    if (command->get_name() == command_) {
      out << formatter->make_help(command, command->get_name(), CLI::AppFormatMode::Normal);
      return kExitOk;
    }
  err << "kyanalyze: help: no command '" << escaped(command_) << "'\n";
  return kExitUsage;
}

} // namespace kyanalyze
