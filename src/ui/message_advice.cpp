#include "ui/message_advice.h"

#include <string_view>

#include "model/error.h"

namespace kelmor {

namespace {

constexpr std::string_view kResume = "KELMOR has come across error, attempting to resume ";

struct Reason {
  int code;
  const char* plain;
};

// What each error the run's handler resumes from means to a user.
constexpr Reason kReasons[] = {
    {ErrInvalidCall, "a value the run cannot use (often an option or an input number out of range)"},
    {ErrOverflow, "the forces grew too large to count (the model flew apart)"},
    {ErrSubscript, "the input needs more room than the run has (too many vertices or faces?)"},
    {ErrZeroDivide, "a division by zero (two vertices in the same place?)"},
    {ErrTypeMismatch, "a number was expected and something else was found (in the input or kelmor.ini)"},
    {ErrBadFileName, "a file name the system does not accept"},
    {ErrFileOpen, "a file was still open"},
    {ErrPastEnd, "the input file ended before the run had read what it needs (no faces, or a face not closed)"},
    {ErrDevice, "a drive or folder that is not there"},
    {ErrPathAccess, "a file or folder that cannot be used (read-only, or no permission)"},
    {ErrPathNotFound, "a file or folder that could not be found or written"},
    {ErrInvalidProperty, "a value the window cannot show"},
};

}  // namespace

std::string MessageAdvice(const std::string& text) {
  if (text.compare(0, kResume.size(), kResume) == 0) {
    const std::string number = text.substr(kResume.size());
    std::string plain = "an error the run did not expect";
    for (const Reason& r : kReasons)
      if (number == std::to_string(r.code)) plain = r.plain;
    return "Error " + number + ": " + plain +
           ".\nOK goes on where the run stopped; a message may follow saying what to change. "
           "Cancel ends the run now, without it.";
  }
  return {};
}

}  // namespace kelmor
