#pragma once

#include <chrono>
#include <iosfwd>
#include <map>
#include <mutex>
#include <string>

namespace kelmor {

// A batch's progress: a bar redrawn in place on a terminal (done/total, solved, failed,
// elapsed time, rate), one plain line an input otherwise.
class BatchProgress {
 public:
  BatchProgress(int total, std::ostream& err, bool terminal);
  void finished(const std::string& input, const std::string& status, double seconds);
  // A line of its own (the bar, if any, is drawn again below it).
  void note(const std::string& line);
  void end();  // clears the bar
  // Inputs finished so far by status.
  std::map<std::string, int> counts() const;

 private:
  void draw();
  int total_;
  int done_ = 0;
  std::ostream& err_;
  bool terminal_;
  std::map<std::string, int> counts_;
  std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
  mutable std::mutex mutex_;
};

}  // namespace kelmor
