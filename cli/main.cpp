// korvane-cli: the engine without a window; one JSON object on stdout.
#include <csignal>
#include <cstdio>
#include <exception>

#include "cli/commands.h"
#include "cli/exit_codes.h"
#include "cli/options.h"
#include "cli/output.h"
#include "texts/cli_texts.h"

using namespace korvane::cli;
namespace text = korvane::text;

int main(int argc, char** argv) {
  // A reader that has gone, or a file-size limit (ulimit -f) reached, must
  // show as a failed write, rolled back and reported, not kill us quietly.
  std::signal(SIGPIPE, SIG_IGN);
  std::signal(SIGXFSZ, SIG_IGN);
  try {
    const CommandLine line = ParseCommandLine(argc, argv);
    int status = kExitOk;
    if (line.help.empty())
      status = RunCommand(line.options);
    else
      WriteOut(line.help);
    AwaitReader();
    return status;
  } catch (const ArgumentError& e) {
    Complain(e.text);
    std::fprintf(stderr, "%s\n", text::HelpHint(e.command).c_str());
    return kExitRefused;
  } catch (const Refusal& e) {
    Complain(e.text);
    return kExitRefused;
  } catch (const WriteFailure& e) {
    Complain(e.text);
    return kExitFailed;
  } catch (const std::exception& e) {
    Complain(text::En<korvane::Tx::Unexpected>() + std::string(e.what()));
    return kExitFailed;
  }
}
