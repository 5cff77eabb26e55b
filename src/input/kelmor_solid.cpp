#include "input/kelmor_solid.h"

#include <algorithm>

#include "input/parser.h"
#include "input/solid_text.h"
#include "model/error.h"
#include "run/run.h"

namespace kelmor {

namespace {

// Keeps what the parser says; questions are answered as nobody is there to answer.
class ParserHost : public Host {
 public:
  void message(const std::string& text) override { messages.push_back(text); }
  bool askYesNo(const std::string&) override { return false; }
  bool askOkCancel(const std::string&) override { return false; }
  std::vector<std::string> messages;
};

constexpr const char* StartingPositionsMessage = "Reading Starting Positions";

// The colour letter of a face code's last colour code that has a fixed colour.
char ColourLetterOf(const std::string& code) {
  char letter = 0;
  for (size_t i = 0; i + 1 < code.size(); ++i)
    if (code[i] == 'Q')
      for (const LetterColour& c : LetterColours())
        if (code[i + 1] == c.letter) letter = c.letter;
  return letter;
}

// Letters beyond the colour codes: things a plain face list has no room for.
bool HasOtherLetters(const std::string& code) {
  for (size_t i = 0; i < code.size(); ++i) {
    if (code[i] == 'Q') {
      ++i;
      continue;
    }
    return true;
  }
  return false;
}

std::string ParseFailure(const KelmorError& e, const Run& run) {
  if (e.code() == ErrSubscript || e.code() == ErrOverflow) return LimitMessage;
  if (e.code() == ErrPastEnd)
    return run.BlockUnclosed ? "the block of faces has no closing }" : "no block of faces: the faces stand between { and }";
  return "the text cannot be read (error " + std::to_string(e.code()) + ")";
}

}  // namespace

ForeignRead SolidFromKelmorText(std::string_view text, const std::string& name) {
  ForeignRead r;
  if (const int blocks = ScanInputText(std::string(text)).count; blocks > 1) {
    r.error = "segmented input (" + std::to_string(blocks) + " blocks) holds more than one solid; one can be converted";
    return r;
  }
  Session session;
  ParserHost host;
  Run run(session, host);
  Model& m = run.model;
  m.Reset();
  m.ResetSegment();
  m.EdgeCount = 1;
  run.InputName = name;
  try {
    ReadInputText(run, text);
  } catch (const KelmorError& e) {
    r.error = ParseFailure(e, run);
    return r;
  }
  if (run.InputStopped) {
    r.error = host.messages.empty() ? "the parser stopped" : host.messages.back();
    return r;
  }
  if (m.MaxVertex < m.MinVertex || m.FaceCount < 1) {
    r.error = "no faces";
    return r;
  }
  bool lost = m.EdgeCount > 1;
  int edgeOnly = 0, stars = 0;
  for (int f = 1; f <= m.FaceCount; ++f) {
    const int n = m.FaceSize[f], k = m.FaceStep[f];
    const std::string& code = m.FaceCode[f];
    lost = lost || HasOtherLetters(code);
    if (n < 3) {
      ++edgeOnly;
      continue;
    }
    const bool outline = k != 1 || code.find('n') != std::string::npos;
    stars += k != 1;
    std::vector<int> face;
    for (int p = 1; p <= n; ++p) {
      const int pos = outline ? ((p * k) % n == 0 ? n : (p * k) % n) : p;
      face.push_back(m.FaceVertex(f, pos) - m.MinVertex);
    }
    r.solid.faces.push_back(std::move(face));
    r.solid.colour.push_back(ColourLetterOf(code));
    r.faceLine.push_back(f);
  }
  for (int v = m.MinVertex; v <= m.MaxVertex && !lost; ++v) lost = !m.VertexFlags[v].empty();
  r.solid.vertexCount = m.MaxVertex - m.MinVertex + 1;
  if (std::find(host.messages.begin(), host.messages.end(), StartingPositionsMessage) != host.messages.end())
    for (int v = m.MinVertex; v <= m.MaxVertex; ++v) r.solid.coords.push_back({m.VertexX[v], m.VertexY[v], m.VertexZ[v]});
  if (edgeOnly > 0) r.notes.push_back(std::to_string(edgeOnly) + " edge-only faces passed over");
  if (stars > 0) r.notes.push_back(std::to_string(stars) + " star faces written as their outlines");
  if (lost) r.notes.push_back("face letters other than colours, edge marks and vertex flags are not carried over");
  return r;
}

}  // namespace kelmor
