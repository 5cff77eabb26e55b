#pragma once

namespace kelmor {

struct OutputCall;

// The realm path, after the inter-realm section closed: the realm shapes appended to
// the segment file, the 4OFF file OutputName + ".off", and the message W02.
void WriteRealmFiles(OutputCall& call);

}  // namespace kelmor
