#include "output/realm_file.h"

#include "output/output_call.h"
#include "run/run.h"

namespace kelmor {

void WriteRealmFiles(OutputCall& call) { call.run.RealmSectionClosed = 0; }

}  // namespace kelmor
