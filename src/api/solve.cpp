#include <algorithm>
#include <filesystem>
#include <memory>

#include "api/session_from_options.h"
#include "api/solve_host.h"
#include "files/private_file.h"
#include "input/parser.h"
#include "input/shape.h"
#include "kelmor/kelmor.h"
#include "model/error.h"
#include "run/run.h"
#include "run/run_sequence.h"

namespace kelmor {

namespace {

// The messages of a run that ended before its model was ready, one a line.
std::string Joined(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += (text.empty() ? "" : "\n") + line;
  return text.empty() ? std::string("the input holds no model") : text;
}

// Reads the model's first block through the topology passes and counts what it holds.
void ReadCounts(Topology& t) {
  Options defaults;
  Session session = SessionFromOptions(t, defaults);
  std::vector<HeldFile> held;
  SolveHost host(defaults, nullptr, held, true);
  Run run(session, host);
  run.InputText = &t.text;
  run.HeldFiles = &held;
  if (!ReadFirstModel(run)) throw ApiError(Joined(host.messages()));
  const Model& m = run.model;
  t.vertices = std::max(0, m.MaxVertex - m.MinVertex + 1);
  t.faces = m.PolygonCount;
  // The solid's own edges: the edge table also holds the springs that keep star faces
  // and weakened faces in shape, whose targets are not a unit edge.
  t.edges = 0;
  for (int e = 1; e <= run.edges.EdgeTotal; ++e) t.edges += run.edges.EdgeTarget[e] == 1.0;
}

}  // namespace

Topology ParseTopology(std::string_view text, std::string name) {
  if (name.empty()) throw ApiError("a topology needs a name for its files");
  Topology t;
  t.name = std::move(name);
  t.text = std::string(text);
  try {
    const ScanResult scan = ScanInputText(t.text);
    t.letters = scan.letters;
    t.blocks = scan.count;
  } catch (const KelmorError& e) {
    throw ApiError("the input cannot be read (error " + std::to_string(e.code()) + ")");
  }
  ReadCounts(t);
  return t;
}

Topology ShapeTopology(std::string_view kind, std::string_view nd) {
  SpecialChoice choice;
  static constexpr const char* kinds[4] = {"polygon", "pyramid", "prism", "antiprism"};
  for (int k = 0; k < 4; ++k) choice.SpecialOption[k] = kind == kinds[k];
  choice.Specialnd = std::string(nd);
  if (auto e = ValidateSpecialChoice(choice)) throw ApiError(*e);
  Topology t;
  t.shapeKind = std::string(kind);
  t.shapeNd = std::string(nd);
  t.name = ShapeBaseName(choice);
  t.letters = "";
  t.blocks = 1;
  ReadCounts(t);
  return t;
}

namespace {

SolveResult SolveWith(const Topology& topology, const Options& options, Host* caller) {
  Session session = SessionFromOptions(topology, options);
  const bool single = session.options.Once == 1 || session.options.Segments != "None";
  std::vector<HeldFile> held;
  SolveHost host(options, caller, held, single);
  Run run(session, host);
  if (topology.shapeKind.empty()) run.InputText = &topology.text;
  run.HeldFiles = &held;
  run.OutputDate = options.dateText;
  const RunOutcome outcome = RunSequence(run);
  host.collectLeftoverFiles(run.OutputName.empty() ? topology.name : run.OutputName);
  SolveResult result;
  result.solutions = std::move(host.solutions());
  result.messages = std::move(host.messages());
  switch (outcome) {
    case RunOutcome::Written: result.outcome = Outcome::Written; break;
    case RunOutcome::Ended: result.outcome = Outcome::Ended; break;
    case RunOutcome::Abandoned:
    case RunOutcome::WriteFailed: result.outcome = Outcome::Abandoned; break;
  }
  return result;
}

}  // namespace

SolveResult Solve(const Topology& topology, const Options& options) {
  return SolveWith(topology, options, nullptr);
}

SolveResult Solve(const Topology& topology, const Options& options, Host& host) {
  return SolveWith(topology, options, &host);
}

std::vector<std::string> WriteFiles(const Solution& solution, const std::string& folder) {
  namespace fs = std::filesystem;
  std::vector<std::unique_ptr<PrivateFile>> files;
  std::vector<PrivateFile*> order;
  std::vector<std::string> written;
  try {
    for (const File& f : solution.files) {
      if (f.name.empty() || fs::path(f.name).filename() != fs::path(f.name))
        throw ApiError("'" + f.name + "' is not a plain file name");
      files.push_back(std::make_unique<PrivateFile>(fs::path(folder) / f.name));
      files.back()->stream().write(f.bytes.data(), static_cast<std::streamsize>(f.bytes.size()));
      order.push_back(files.back().get());
    }
    CommitFiles(order, {}, [&](const PrivateFile& f) { written.push_back(f.target().string()); });
  } catch (const FileWriteError& e) {
    throw ApiError("Kelmor could not write '" + e.path() + "': " + e.reason());
  }
  return written;
}

}  // namespace kelmor
