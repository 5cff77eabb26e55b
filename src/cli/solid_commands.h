#pragma once

#include <iosfwd>
#include <string>

namespace kelmor {

// `kelmor conway EXPR [--out FILE]`: the expression's Kelmor input text, on standard output
// or into FILE. Exit status 0, or 2 for an expression refused.
int CmdConway(const std::string& expression, const std::string& outFile, std::ostream& out, std::ostream& err);

// `kelmor convert IN OUT`: between Kelmor text (.txt), OFF and OBJ, by the names'
// extensions (the input also by its content). Exit status 0, 2 for a refused name or an
// input that cannot be read, 3 when the output cannot be written.
int CmdConvert(const std::string& in, const std::string& outFile, std::ostream& out, std::ostream& err);

}  // namespace kelmor
