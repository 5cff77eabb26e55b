#pragma once

#include <ostream>

namespace kelmor {

struct OutputCall;

// The kinds of VRML file, each written completely to os.
void WriteSolidFile(OutputCall& call, std::ostream& os);
void WriteFrameFile(OutputCall& call, std::ostream& os);
void WriteAnimationFile(OutputCall& call, std::ostream& os);
void WriteSwitchFile(OutputCall& call, std::ostream& os);
void WriteCylinderFile(OutputCall& call, std::ostream& os);

}  // namespace kelmor
