#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "unattended/console_host.h"

namespace kelmor {

// What one of a batch's workers is running; the worker fills it, the heartbeat reads it.
struct RunningInput {
  void start(const std::string& name);
  void stop();

  std::mutex mutex;  // guards input and started
  std::string input;  // "" while the worker is between inputs
  std::chrono::steady_clock::time_point started;
  LiveFigures live;
};

// A line now and then for each input that has been running longer than the interval, so
// that a log without a terminal (a scheduler's) shows the batch alive through a long input:
// "running cube.txt: attempt 3, iteration 12000, E 0.0123, 600 s".
class Heartbeat {
 public:
  // No line at all when seconds is not above 0.
  Heartbeat(std::vector<RunningInput>& inputs, double seconds, std::function<void(const std::string&)> say);
  ~Heartbeat();  // stops the heartbeat's thread
  Heartbeat(const Heartbeat&) = delete;
  Heartbeat& operator=(const Heartbeat&) = delete;

  // The line for an input running this long with these figures.
  static std::string Line(const std::string& input, double seconds, int attempt, long iteration, double E);

 private:
  void beat();
  std::vector<RunningInput>& inputs_;
  std::chrono::duration<double> interval_;
  std::function<void(const std::string&)> say_;
  std::mutex mutex_;
  std::condition_variable wake_;
  bool stopping_ = false;
  std::thread thread_;
};

}  // namespace kelmor
