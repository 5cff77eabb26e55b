#include <CLI/CLI.hpp>

#include "cli/batch_options.h"
#include "cli/option_checks.h"
#include "cli/run_command.h"

namespace kelmor {

void AddBatchOptions(CLI::App* app, BatchArgs& a) {
  app->add_option("INPUT", a.inputs, "input files");
  app->add_option("--list", a.list, "a file naming one input a line");
  // More threads than any machine has cores only share the same cores.
  app->add_option("--jobs,-j", a.jobs, "inputs run at once (default: one a core)")
      ->check(WholeNumberFrom(0, 4096));
  app->add_flag("--resume", a.resume, "skip the inputs that already have a row in results.jsonl");
  app->add_option("--shard", a.shard, "run only the K-th of N slices of the input list")
      ->type_name("K/N");
  app->add_option("--merge", a.merge, "join the results tables of these folders into --out")
      ->type_name("DIR...");
  app->add_option("--prefer", a.prefer,
                  "--merge: when an input has different results in two tables, keep the better one (solved) or the "
                  "one of the table named first (first)")
      ->type_name("solved|first");
  app->add_flag("--exit-zero-unless-broken", a.exitZeroUnlessBroken,
                "exit 0 once every input has its row, solved or not; an interrupted or failing batch still fails");
  app->add_option("--heartbeat", a.heartbeat,
                  "with no terminal, a line every SECONDS for each input running longer (0: none)")
      ->type_name("SECONDS")
      ->default_val(a.heartbeat)
      ->check(CLI::Range(0.0, 86400.0));
  AddRunOptions(app, a.run, false);
  app->add_option("--conway", a.run.conway, "also run the solid of a Conway expression (repeatable)")
      ->type_name("EXPR");
  app->get_option("--out")->description(
      "the batch's folder: the results table and one folder an input (required)");
}

}  // namespace kelmor
