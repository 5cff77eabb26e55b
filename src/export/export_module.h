#pragma once

#include <string>

#include "export/export_solution.h"

namespace kelmor {

// The module and the program that loads it pass C++ values, so they must come from the
// same build: the version and the size of the values passed must agree.
#define KELMOR_EXPORT_ABI KELMOR_VERSION "/2"
inline constexpr const char* ExportModuleVersion = KELMOR_EXPORT_ABI;

using ExportVersionFn = const char* (*)();
using ExportSolutionFn = void (*)(const SolutionSnapshot*, const ExportRequest*, ExportOutcome*);

// Writes the requested formats through the export module, loading it on first use: from
// $KELMOR_EXPORT_MODULE, beside the program, or where it is installed. A module that
// cannot be found or loaded is one failure with the reason.
ExportOutcome ExportThroughModule(const SolutionSnapshot& s, const ExportRequest& r);

// Where the module was (or would be) loaded from, for messages.
std::string ExportModulePath();

}  // namespace kelmor
