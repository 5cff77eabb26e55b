// Relaxes a cube given as text and prints its edge deformation and vertex positions.
// Needs only the library: no window toolkit, no files read or written.
#include <kelmor/kelmor.h>

#include <cstdio>

int main() {
  const char* cube =
      "{ 1,5,4,0,-1, 2,0,4,6,-1, 3,1,0,2,-1,\n"
      "  5,1,3,7,-1, 6,4,5,7,-1, 7,3,2,6,-1 }\n";
  try {
    const kelmor::Topology topology = kelmor::ParseTopology(cube, "cube");
    kelmor::Options options;
    options.seed = 1;
    const kelmor::SolveResult result = kelmor::Solve(topology, options);
    if (result.solutions.empty()) {
      for (const std::string& m : result.messages) std::fprintf(stderr, "%s\n", m.c_str());
      return 1;
    }
    const kelmor::Solution& s = result.solutions.front();
    std::printf("%s: %d vertices, E = %.3g after %ld iterations\n", s.name.c_str(),
                static_cast<int>(s.points.size()), s.E, s.iterations);
    for (const kelmor::Point& p : s.points) std::printf("%10.6f %10.6f %10.6f\n", p.x, p.y, p.z);
  } catch (const kelmor::ApiError& e) {
    std::fprintf(stderr, "kelmor: %s\n", e.what());
    return 2;
  }
  return 0;
}
