#include "batch/progress.h"

#include <cstdio>
#include <ostream>

namespace kelmor {

BatchProgress::BatchProgress(int total, std::ostream& err, bool terminal)
    : total_(total), err_(err), terminal_(terminal) {
  if (terminal_) draw();
}

void BatchProgress::finished(const std::string& input, const std::string& status, double seconds) {
  std::lock_guard lock(mutex_);
  ++done_;
  ++counts_[status];
  if (terminal_) {
    draw();
    return;
  }
  char line[64];
  std::snprintf(line, sizeof line, "[%d/%d] %s ", done_, total_, status.c_str());
  char time[32];
  std::snprintf(time, sizeof time, " (%.2f s)", seconds);
  err_ << line << input << time << "\n" << std::flush;
}

void BatchProgress::draw() {
  const double elapsed =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
  constexpr int width = 30;
  const int filled = total_ > 0 ? done_ * width / total_ : width;
  std::string bar(static_cast<size_t>(filled), '#');
  bar.append(static_cast<size_t>(width - filled), '-');
  const int failed = done_ - counts_["solved"] - counts_["written"] - counts_["inexact"];
  char text[200];
  std::snprintf(text, sizeof text, "\r\033[K[%s] %d/%d  solved %d  failed %d  %d:%02d  %.1f/s",
                bar.c_str(), done_, total_, counts_["solved"], failed,
                static_cast<int>(elapsed) / 60, static_cast<int>(elapsed) % 60,
                elapsed > 0 ? done_ / elapsed : 0.0);
  err_ << text << std::flush;
}

void BatchProgress::note(const std::string& line) {
  std::lock_guard lock(mutex_);
  if (terminal_) err_ << "\r\033[K";
  err_ << line << "\n" << std::flush;
  if (terminal_) draw();
}

void BatchProgress::end() {
  std::lock_guard lock(mutex_);
  if (terminal_) err_ << "\r\033[K" << std::flush;
}

std::map<std::string, int> BatchProgress::counts() const {
  std::lock_guard lock(mutex_);
  return counts_;
}

}  // namespace kelmor
