#include "run/error_handler.h"

#include "run/run.h"

namespace kelmor {

void EndRunOnWriteFailure(Run& run, const FileWriteError& e) {
  run.host.message("Kelmor has come across an Error.  Code: " + std::to_string(e.code()) + "File: " + e.path() +
                   "\nThe file could not be written (" + e.reason() +
                   "); the run ends here and files already in the folder are unchanged.");
  throw RunAbandoned{true, true};
}

ErrorAction HandleRunError(Run& run, int code) {
  Host& host = run.host;
  const std::string number = std::to_string(code);
  if (!host.askOkCancel("KELMOR has come across error, attempting to resume " + number))
    return ErrorAction::Abandon;
  switch (code) {
    case ErrInvalidCall:
    case ErrTypeMismatch:
    case ErrBadFileName:
    case ErrPastEnd:
    case ErrPathAccess:
    case ErrInvalidProperty:
      return ErrorAction::Resume;
    case ErrFileOpen:
      // Files are never held open between lines here, so there is nothing left to close.
      return ErrorAction::Resume;
    case ErrOverflow:
      host.message("Error: Overflow.  Try reducing some Force Strengths");
      return ErrorAction::Abandon;
    case ErrSubscript:
      host.message("Error: Subscript out of range.  Input file too large?");
      return ErrorAction::Abandon;
    case ErrZeroDivide:
      ++run.stepsFailed;
      host.message("Error: Zero divide");
      return ErrorAction::Resume;
    case ErrDevice:
      host.message("Error:  File or directory not found, please check the entries in Kelmor.ini");
      return ErrorAction::Abandon;
    case ErrPathNotFound:
      host.message("Kelmor has come across an Error.  Code: " + number + "File: " +
                   run.CurrentFileName);
      return ErrorAction::Resume;
    default:
      host.message("Kelmor has come across an Error.  Code: " + number);
      return ErrorAction::Abandon;
  }
}

}  // namespace kelmor
