#include "batch/heartbeat.h"

#include <cstdio>

namespace kelmor {

void RunningInput::start(const std::string& name) {
  live.attempt = 0;
  live.iteration = 0;
  live.edgeDeform = 0;
  std::lock_guard lock(mutex);
  input = name;
  started = std::chrono::steady_clock::now();
}

void RunningInput::stop() {
  std::lock_guard lock(mutex);
  input.clear();
}

Heartbeat::Heartbeat(std::vector<RunningInput>& inputs, double seconds, std::function<void(const std::string&)> say)
    : inputs_(inputs), interval_(seconds), say_(std::move(say)) {
  if (seconds > 0) thread_ = std::thread([this] { beat(); });
}

Heartbeat::~Heartbeat() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  wake_.notify_all();
  if (thread_.joinable()) thread_.join();
}

std::string Heartbeat::Line(const std::string& input, double seconds, int attempt, long iteration, double E) {
  char figures[160];
  std::snprintf(figures, sizeof figures, ": attempt %d, iteration %ld, E %.6g, %.0f s", attempt, iteration, E,
                seconds);
  return "running " + input + figures;
}

void Heartbeat::beat() {
  std::unique_lock lock(mutex_);
  for (;;) {
    if (wake_.wait_for(lock, interval_, [this] { return stopping_; })) return;
    const auto now = std::chrono::steady_clock::now();
    for (RunningInput& r : inputs_) {
      std::string input;
      double seconds = 0;
      {
        std::lock_guard running(r.mutex);
        input = r.input;
        seconds = std::chrono::duration<double>(now - r.started).count();
      }
      if (input.empty() || seconds < interval_.count()) continue;
      say_(Line(input, seconds, r.live.attempt.load(), r.live.iteration.load(), r.live.edgeDeform.load()));
    }
  }
}

}  // namespace kelmor
