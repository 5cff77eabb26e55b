#pragma once

#include <string>
#include <vector>

namespace kelmor {

class Preferences;
struct RunOptions;

// "_" and the kind text of a VRML output (the preference key ssol, sfrm, ...), or
// nothing for a kind text that is empty or one blank.
std::string KindPart(const Preferences& prefs, const char* key);

// One file a writer call over an unsegmented model makes.
struct PlannedFile {
  std::string name;   // the file name, without the folder
  std::string maker;  // which output makes it, with the preferences that name it
};

// The files one writer call makes for a solution named outputName, in the order written
// (the stress pass included when StressMap is ticked).
std::vector<PlannedFile> PlannedFiles(const Preferences& prefs, const RunOptions& options,
                                      const std::string& outputName);

// Why the files of a run named outputName cannot be written as named, whatever set the
// names (the preferences window, --pref or a hand-edited settings file): a name part that
// holds "/" or a control character, a name over 255 bytes, or two outputs that would
// share one file (each would overwrite the other). Empty when there is no such problem.
std::string OutputNameProblem(const Preferences& prefs, const RunOptions& options,
                              const std::string& outputName);

}  // namespace kelmor
