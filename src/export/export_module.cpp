// The entry points of the export module, which the command line loads only when a run
// asks for exports (the format libraries stay out of every other run).
#include "export/export_module.h"

#include "export/export_solution.h"

extern "C" __attribute__((visibility("default"))) const char* KelmorExportVersion() {
  return kelmor::ExportModuleVersion;
}

extern "C" __attribute__((visibility("default"))) void KelmorExportSolution(const kelmor::SolutionSnapshot* s,
                                                                             const kelmor::ExportRequest* r,
                                                                             kelmor::ExportOutcome* out) {
  try {
    *out = kelmor::ExportSolution(*s, *r);
  } catch (const std::exception& e) {
    out->failures.push_back(s->name + ": " + e.what());
  } catch (...) {
    out->failures.push_back(s->name + ": the export failed");
  }
}
