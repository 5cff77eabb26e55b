#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "run/run.h"
#include "support/model_builder.h"
#include "support/temp_folder.h"
#include "support/test_host.h"

namespace kelmor::testing {

// One run over a model built from faces, with a recording host and, on request, a
// debug file in a folder of its own.
struct TopologyRig {
  Session session;
  TestHost host;
  Run run{session, host};

  explicit TopologyRig(const std::vector<Face>& faces) { BuildModel(run, faces); }

  void DebugOn() {
    folder_.emplace();
    run.DebugOn = 1;
    run.debug.Create((*folder_ / "model_debug.txt").string());
  }

  // The debug lines written after the three header lines.
  std::vector<std::string> DebugLines() const {
    std::ifstream in(run.debug.path(), std::ios::binary);
    std::stringstream all;
    all << in.rdbuf();
    std::string text = all.str();
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
      lines.push_back(text.substr(start, end - start));
    if (lines.size() >= 3) lines.erase(lines.begin(), lines.begin() + 3);
    return lines;
  }

  // Debug lines that begin with the given text.
  std::vector<std::string> DebugLinesStarting(const std::string& prefix) const {
    std::vector<std::string> found;
    for (const auto& l : DebugLines())
      if (l.rfind(prefix, 0) == 0) found.push_back(l);
    return found;
  }

  // Vertex numbers of face f in position order.
  std::vector<int> FaceOf(int f) const {
    std::vector<int> v;
    for (int p = 1; p <= run.model.FaceSize[f]; ++p) v.push_back(run.model.FaceVertex(f, p));
    return v;
  }

 private:
  std::optional<TempFolder> folder_;
};

}  // namespace kelmor::testing
