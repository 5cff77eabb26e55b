#include <algorithm>
#include <set>

#include "input/foreign_read.h"
#include "input/solid_text.h"

namespace kelmor {

namespace {

std::string At(int line) { return "line " + std::to_string(line) + ": "; }

std::string Text(std::string_view w) {
  // Words are quoted in messages; a long run of junk is cut short.
  return w.size() > 40 ? std::string(w.substr(0, 40)) + "..." : std::string(w);
}

// The header word and the words after it on its line (which may hold the counts).
bool ReadHeader(const WordLine& line, std::string& error) {
  static const std::set<std::string_view> known = {"OFF", "COFF", "NOFF", "CNOFF", "NCOFF"};
  const std::string_view head = line.words[0];
  if (head == "4OFF") {
    error = At(line.number) + "a 4OFF file (segmented output) holds realm links, not one solid; read the input it came from";
    return false;
  }
  if (!known.count(head)) {
    error = At(line.number) + "'" + Text(head) + "' where an OFF file starts with OFF";
    return false;
  }
  if (line.words.size() > 1 && line.words[1] == "BINARY") {
    error = At(line.number) + "binary OFF is not read; save the file as text OFF";
    return false;
  }
  return true;
}

// The face colour after the indices: three or four components, whole numbers 0..255 or
// fractions 0..1; one word (a colour map index) or none gives no colour.
std::optional<char> FaceColour(const WordLine& line, size_t from, std::string& error) {
  const size_t count = line.words.size() - from;
  if (count <= 1) return char{0};
  if (count != 3 && count != 4) {
    error = At(line.number) + std::to_string(count) + " words after the vertex indices: a colour has 3 or 4 components";
    return std::nullopt;
  }
  double rgb[3];
  bool whole = true;
  for (size_t i = 0; i < 3; ++i) {
    std::string_view w = line.words[from + i];
    std::optional<double> v = FiniteNumber(w);
    if (!v) {
      error = At(line.number) + "colour component '" + Text(w) + "' is not a number";
      return std::nullopt;
    }
    rgb[i] = *v;
    whole = whole && w.find_first_of(".eE") == std::string_view::npos;
  }
  const double scale = whole ? 255.0 : 1.0;
  for (double& c : rgb) c = std::clamp(c / scale, 0.0, 1.0);
  return NearestColourLetter(rgb[0], rgb[1], rgb[2]);
}

class OffReader {
 public:
  explicit OffReader(std::string_view text) { lines_ = SplitWordLines(text, r_.error); }

  ForeignRead read() {
    if (!r_.ok()) return std::move(r_);
    if (lines_.empty()) return fail("the file is empty: an OFF file starts with the line OFF");
    if (!ReadHeader(lines_[0], r_.error)) return std::move(r_);
    if (!counts()) return std::move(r_);
    while (r_.ok() && vertices_ < vertexTotal_) vertex();
    while (r_.ok() && facesRead_ < faceTotal_) face();
    if (!r_.ok()) return std::move(r_);
    if (next_ < lines_.size())
      return fail(At(lines_[next_].number) + "more lines than the " + std::to_string(vertexTotal_) + " vertices and " +
                  std::to_string(faceTotal_) + " faces the counts on line " + std::to_string(countsLine_) + " announce");
    if (skipped_ > 0)
      r_.notes.push_back(std::to_string(skipped_) + " elements of one or two vertices passed over (the first on line " +
                         std::to_string(firstSkipped_) + "): only faces of three or more vertices are read");
    return std::move(r_);
  }

 private:
  ForeignRead fail(std::string message) {
    r_.error = std::move(message);
    return std::move(r_);
  }
  void error(int line, std::string message) { r_.error = At(line) + std::move(message); }

  // The line after the last one used, or nullptr (error set) at the end of the file, which
  // came after `read` of the `announced` elements called `what`.
  const WordLine* take(long read, long announced, const char* what) {
    if (next_ < lines_.size()) return &lines_[next_++];
    r_.error = "the file ends after " + std::to_string(read) + " of the " + std::to_string(announced) + " " + what +
               " the counts on line " + std::to_string(countsLine_) + " announce";
    return nullptr;
  }

  bool counts() {
    // The counts follow the header on its line or stand on the next one.
    std::vector<std::string_view> words(lines_[0].words.begin() + 1, lines_[0].words.end());
    countsLine_ = lines_[0].number;
    next_ = 1;
    if (words.empty()) {
      if (lines_.size() < 2) {
        r_.error = "the file ends before the counts of vertices and faces";
        return false;
      }
      words = lines_[1].words;
      countsLine_ = lines_[1].number;
      next_ = 2;
    }
    if (words.size() < 2 || words.size() > 3) {
      error(countsLine_, "the counts line holds the numbers of vertices, faces and (optionally) edges");
      return false;
    }
    std::optional<long> v = WholeNumber(words[0]), f = WholeNumber(words[1]);
    if (!v || !f || *v < 0 || *f < 0) {
      error(countsLine_, "'" + Text(words[v ? 1 : 0]) + "' is not a count (a whole number, 0 or more)");
      return false;
    }
    vertexTotal_ = *v;
    faceTotal_ = *f;
    // The counts may lie: nothing is set aside for more lines than the file has.
    r_.solid.coords.reserve(static_cast<size_t>(std::min<long>(vertexTotal_, static_cast<long>(lines_.size()))));
    return true;
  }

  void vertex() {
    const WordLine* line = take(vertices_, vertexTotal_, "vertices");
    if (!line) return;
    if (line->words.size() < 3) return error(line->number, "a vertex line holds three coordinates");
    std::array<double, 3> p{};
    for (size_t i = 0; i < 3; ++i) {
      std::optional<double> v = FiniteNumber(line->words[i]);
      if (!v)
        return error(line->number, "coordinate '" + Text(line->words[i]) + "' of vertex " + std::to_string(vertices_) +
                                       " is not a finite number");
      p[i] = *v;
    }
    r_.solid.coords.push_back(p);
    ++vertices_;
  }

  void face() {
    const WordLine* line = take(facesRead_, faceTotal_, "faces");
    if (!line) return;
    ++facesRead_;
    std::optional<long> n = WholeNumber(line->words[0]);
    if (!n || *n < 1) return error(line->number, "'" + Text(line->words[0]) + "' is not a number of vertices (1 or more)");
    if (static_cast<size_t>(*n) + 1 > line->words.size())
      return error(line->number, "the face announces " + std::to_string(*n) + " vertices but lists " +
                                     std::to_string(line->words.size() - 1));
    std::vector<int> face;
    for (size_t i = 1; i <= static_cast<size_t>(*n); ++i) {
      std::optional<long> v = WholeNumber(line->words[i]);
      if (!v || *v < 0 || *v >= vertexTotal_)
        return error(line->number, "vertex index '" + Text(line->words[i]) + "' is not in range 0 to " +
                                       std::to_string(vertexTotal_ - 1));
      face.push_back(static_cast<int>(*v));
    }
    if (const int twice = RepeatedVertex(face); twice >= 0)
      return error(line->number, "the face lists vertex " + std::to_string(twice) + " twice");
    std::optional<char> colour = FaceColour(*line, static_cast<size_t>(*n) + 1, r_.error);
    if (!colour) return;
    if (*n < 3) {
      if (skipped_++ == 0) firstSkipped_ = line->number;
      return;
    }
    r_.solid.faces.push_back(std::move(face));
    r_.solid.colour.push_back(*colour);
    r_.faceLine.push_back(line->number);
  }

  std::vector<WordLine> lines_;
  ForeignRead r_;
  size_t next_ = 0;
  int countsLine_ = 0;
  long vertexTotal_ = 0, faceTotal_ = 0, vertices_ = 0, facesRead_ = 0;
  int skipped_ = 0, firstSkipped_ = 0;

  friend ForeignRead ReadOffText(std::string_view text);
};

}  // namespace

ForeignRead ReadOffText(std::string_view text) {
  OffReader reader(text);
  ForeignRead r = reader.read();
  r.solid.vertexCount = static_cast<int>(r.solid.coords.size());
  if (!r.ok()) r.solid = SolidFaces{};
  return r;
}

}  // namespace kelmor
