#pragma once

#include <iosfwd>
#include <string>

#include "run/session.h"
#include "unattended/console_host.h"
#include "unattended/exit_status.h"
#include "unattended/run_args.h"

namespace kelmor {

// One input, from its file (or a Conway expression, or a shape) to its written files, with
// nobody at the windows: the run `kelmor run` makes, and each input of a batch. Every
// function reports a refusal on err in the system's words and returns false or
// ExitRefused.

ConsoleSettings ConsoleFrom(const RunArgs& a);
// Checks --accept, --export, --scale, --lay-on, --strut and --ball.
bool CheckExports(const RunArgs& a, std::ostream& err);
// Loads the settings and applies the --pref overrides.
bool PrepareSession(Session& session, const RunArgs& a, Host& host, std::ostream& err);
// Applies the friendly options and --set to the options.
bool ApplyControls(RunOptions& options, const RunArgs& a, std::ostream& err);
// True when the input names a regular file that exists (a folder, a FIFO or a device is
// named for what it is).
bool InputReadable(const std::string& input, std::ostream& err);
// True when the Conway expression builds a solid; else the reason, with a caret under the
// place it went wrong.
bool CheckConwayExpression(const std::string& expression, std::ostream& err);
// Runs a.input into a.out, with a prepared session; returns the exit status.
int RunInputFile(Session& session, const RunArgs& a, ConsoleHost& host, std::ostream& err);
// Builds the shape KIND N/D and runs it, with a prepared session; returns the exit status.
int RunShape(Session& session, const RunArgs& a, const std::string& kind, const std::string& nd,
             ConsoleHost& host, std::ostream& err);

}  // namespace kelmor
