#include "input/parser.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <filesystem>
#include <string>
#include <string_view>
#include <utility>

#include "input/char_stream.h"
#include "input/foreign_input.h"
#include "input/shape.h"
#include "model/numtext.h"
#include "model/error.h"
#include "run/run.h"
#include "run/run_values.h"

namespace kelmor {

namespace {

// Star steps above this are taken for two numbers glued across a missing comma.
constexpr int MaxStarStep = 12;
// An inter-realm face joins at most this many vertices.
constexpr int MaxRealmFaceVertices = 4;

// Edge marks a delimiter leaves on the vertex before it.
enum EdgeMark : int { NoMark = 0, HighlightMark = 1, CylinderMark = 2, Cylinder2Mark = 3 };

// Whether the reader goes on after a token, or has finished this call.
enum class Flow { Go, Done };

// Reads one call's worth of input: a brace block and, where the block leads there, the
// inter-realm section. Holds the reader state that lives only within one call.
class Parser {
 public:
  Parser(Run& run, std::string_view text)
      : run_(run), m_(run.model), in_(text), SeparatorCode(MaxFaceVertices, NoMark) {}

  // Normal entry: the block whose opening "{" is the SegmentIndex-th of the text.
  void ReadBlock() {
    char c;
    while (in_.Next(c)) {
      if (!reading_) {
        if (c == '{' && ++braces_ == m_.SegmentIndex) reading_ = true;
        continue;
      }
      if (BlockToken(c) == Flow::Done) return;
    }
    // No block, or a block that never closed: the caller's error handler decides what
    // follows; an open block is recorded so that the run can say what is missing.
    if (reading_) run_.BlockUnclosed = 1;
    raiseError(ErrPastEnd, run_.CurrentFileName);
  }

  // Inter-realm entry, and the pass that follows the last segment or a "[" in a block.
  void InterRealmPass() {
    reading_ = false;
    run_.CurrentFileName = run_.InputName;
    in_.Rewind();
    number_.clear();
    if (m_.RealmFaceIndex < 1) m_.RealmFaceIndex = 1;
    std::array<int, MaxRealmFaceVertices + 1> saved{};  // the group before a -2, positions 1..4
    char c;
    while (in_.Next(c)) {
      if (!reading_) {
        if (c == '[') {
          reading_ = true;
          position_ = 1;
        }
        continue;
      }
      if (c == ']') {
        run_.NoRelaxation = 1;
        run_.RealmSectionClosed = 1;
        return;
      }
      if (c == 's') {
        m_.RealmCode[m_.RealmFaceIndex] += 's';
        continue;
      }
      if (IsColourLetter(c)) {
        m_.RealmCode[m_.RealmFaceIndex].append({'Q', c});
        continue;
      }
      if (c != ',') {
        number_ += c;
        continue;
      }
      const int v = TakeNumber();
      if (v == -2) {
        // The group names the block of each corner that follows: the whole row, so that a
        // shorter group after a longer one keeps the longer one's later entries.
        for (int p = 1; p <= MaxRealmFaceVertices; ++p)
          saved[static_cast<size_t>(p)] = m_.RealmFace(m_.RealmFaceIndex, p);
        position_ = 1;
      } else if (v == -1) {
        m_.RealmFaceSize[m_.RealmFaceIndex] = position_ - 1;
        ++m_.RealmFaceIndex;
        position_ = 1;
      } else if (v >= 0) {
        if (position_ > MaxRealmFaceVertices) {
          run_.host.message("Input file error: Realm face can have at most four vertices");
          run_.InputStopped = 1;
          return;
        }
        m_.RealmFace(m_.RealmFaceIndex, position_) = v;
        m_.RealmFaceFrom(m_.RealmFaceIndex, position_) = saved[static_cast<size_t>(position_)];
        ++position_;
      }
    }
    if (m_.SegmentRealmMode[m_.SegmentCount] == 0) {
      const std::string vrml =
          (std::filesystem::path(run_.OutputDir) / (run_.OutputName + ".wrl")).string();
      run_.host.message("W05: " + vrml + "  Segmented VRML file written");
    }
  }

 private:
  static bool IsColourLetter(char c) {
    return std::string_view("ybagcmrwh").find(c) != std::string_view::npos;
  }

  // The number text as a vertex or realm number; the text starts afresh.
  int TakeNumber() {
    const int v = RoundInt16(ReadNumber(number_));
    number_.clear();
    return v;
  }

  std::string& Code() { return m_.FaceCode[face_]; }

  Flow BlockToken(char c) {
    switch (c) {
      case '{':
        ++braces_;
        return Flow::Go;
      case '}':
        return EndBlock();
      case '[':
        InterRealmPass();
        return Flow::Done;
      case '(':
        return ReadStartingPositions();
      case ',':
        return Delimiter(NoMark);
      case ';':
        return Delimiter(HighlightMark);
      case '\\':
        m_.CylinderMarks = 1;
        return Delimiter(CylinderMark);
      case '/':
        m_.CylinderMarks2 = 1;
        return Delimiter(Cylinder2Mark);
      case 'N': case 'n': case 'D': case 'd': case 'q': case 's': case 'f':
      case 'E': case 'e': case 'B':
        Code() += c;
        return Flow::Go;
      case 'A':
        Code() += 'A';
        m_.FaceASeen = 1;
        return Flow::Go;
      case 't':
        Code() += "ft";
        m_.FaceTSeen = 1;
        return Flow::Go;
      case 'O':
        Code() += 'O';
        pending_ += 'O';
        m_.CylinderMarks = 1;
        return Flow::Go;
      case 'o':
        Code() += 'o';
        m_.CylinderMarks = 1;
        return Flow::Go;
      case 'X': case 'Y': case 'Z':
        // After "L" the axis letter names the line; otherwise it is a face identifier.
        if (m_.RealmMode == 2)
          m_.RealmMode = 3 + (c - 'X');
        else
          Code() += c;
        return Flow::Go;
      case '*':
        pending_ += '*';
        m_.CylinderMarks = 1;
        return Flow::Go;
      case 'F': case 'T': case 'R':
        pending_ += c;
        m_.FtrFlagsSeen = 1;
        return Flow::Go;
      case 'C':
        pending_ += c;
        return Flow::Go;
      case 'V': case 'v':
        pending_ += c;
        run_.session.AllVerticesHighlighted = 1;
        return Flow::Go;
      case 'P':
        m_.RealmMode = 1;
        return Flow::Go;
      case 'L':
        m_.RealmMode = 2;
        return Flow::Go;
      default:
        break;
    }
    if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'))) {
      number_ += c;  // digits, signs, blanks and everything else build the number
    } else if (IsColourLetter(c)) {
      Code().append({'Q', c});
    }
    return Flow::Go;
  }

  Flow Delimiter(int mark) {
    const int v = TakeNumber();
    if (v < 0) return EndFace(-v);  // a mark after the closing number marks nothing
    if (mark != NoMark) SeparatorCode[position_] = mark;
    m_.FaceVertex(face_, position_) = v;
    ++position_;
    if (v < m_.MinVertex) m_.MinVertex = v;
    if (v > m_.MaxVertex) m_.MaxVertex = v;
    // A vertex without flags of its own leaves its row of the table untouched.
    if (!pending_.empty()) {
      m_.VertexFlags[v] += pending_;
      pending_.clear();
    }
    const std::string& flags = std::as_const(m_).VertexFlags[v];
    if (!flags.empty() && run_.DebugOn == 1)
      run_.debug.Line(ListLine() << "Vertex:" << v << " Flags:" << flags);
    return Flow::Go;
  }

  Flow EndFace(int step) {
    const int size = position_ - 1;
    if (size == 2) ++m_.DigonCount;
    m_.FaceSize[face_] = size;
    m_.FaceStep[face_] = step;
    if (step > MaxStarStep || step > size) {
      run_.host.message("Input error: Possible missing comma at end of line");
      run_.InputStopped = 1;
      return Flow::Done;
    }
    for (int p = 1; p <= size; ++p) {
      const int type = SeparatorCode[p];
      if (type < 1) continue;
      const int a = m_.FaceVertex(face_, p);
      const int b = m_.FaceVertex(face_, p == size ? 1 : p + 1);
      AddMarkedEdge(std::min(a, b), std::max(a, b), type);
      SeparatorCode[p] = NoMark;
    }
    ++face_;
    position_ = 1;
    return Flow::Go;
  }

  void AddMarkedEdge(int low, int high, int type) {
    const int row = m_.EdgeCount;
    m_.EdgeList(row, 1) = low;
    m_.EdgeList(row, 2) = high;
    m_.EdgeList(row, 3) = type;
    ++m_.EdgeCount;
    if (run_.DebugOn != 1) return;
    static constexpr const char* kinds[] = {"", "Highlight", "Cylinder", "Cylinder type 2"};
    run_.debug.Line(ListLine() << kinds[type] << " edge identified between vertices:" << low
                               << " and " << high);
  }

  Flow ReadStartingPositions() {
    run_.host.message("Reading Starting Positions");
    m_.StartVertex = 0;
    int counter = 0;
    run_.CurrentFileName = run_.InputName;
    char c;
    while (in_.Next(c)) {
      if (c == ')') {
        // Text after the last "," is no coordinate; it must not glue onto the next face.
        number_.clear();
        return Flow::Go;
      }
      if (c != ',') {
        number_ += c;
        continue;
      }
      const double value = ReadNumber(number_);
      number_.clear();
      if (counter == 3) {
        ++m_.StartVertex;
        counter = 1;
      } else {
        ++counter;
      }
      Table<double>& axis = counter == 1 ? m_.VertexX : counter == 2 ? m_.VertexY : m_.VertexZ;
      axis[m_.StartVertex] = value;
      m_.StartPositionsRead = true;
    }
    run_.host.message("Unexpected End of File in input, check for closing brackets");
    run_.InputStopped = 1;
    return Flow::Done;
  }

  Flow EndBlock() {
    const int segment = m_.SegmentIndex;
    m_.SegmentRealmMode[segment] = m_.RealmMode;
    if (m_.RealmMode == 0) {
      m_.FaceCount = face_ - 1;
      m_.PolygonCount = m_.FaceCount - m_.DigonCount;
      return Flow::Done;
    }
    const int row = m_.RealmCount;
    if (m_.RealmMode == 1) {
      RealmAnchor(row, 0);
      ++m_.RealmCount;
      m_.SegmentFlags[segment] = pending_;
      m_.SegmentRealmEnd[segment] = m_.RealmCount;
    } else {
      RealmAnchor(row, 0);
      RealmAnchor(row + 1, 1);
      m_.SegmentFlags[segment] = pending_;
      m_.SegmentRealmEnd[segment] = m_.RealmCount;
      if (m_.RealmMode >= 3) {
        const int axis = m_.RealmMode - 2;
        m_.RealmPoint(row, axis) = -0.5;
        m_.RealmPoint(row + 1, axis) = 0.5;
      }
      m_.RealmCount += 2;
    }
    m_.RealmMode = 0;
    ++m_.SegmentIndex;
    if (segment >= m_.SegmentCount) {
      InterRealmPass();
    } else {
      run_.NextSegmentPending = 1;
    }
    return Flow::Done;
  }

  void RealmAnchor(int row, int mark) {
    m_.RealmMark[row] = mark;
    m_.RealmSegment[row] = m_.SegmentIndex;
    for (int axis = 1; axis <= 3; ++axis) m_.RealmPoint(row, axis) = 0.0;
  }

  Run& run_;
  Model& m_;
  CharStream in_;
  std::string number_;   // characters gathered since the last delimiter
  std::string pending_;  // flags waiting for the next vertex listed
  int braces_ = 0;
  bool reading_ = false;
  int face_ = 1;
  int position_ = 1;
  Table<int> SeparatorCode;  // positions 0..MaxFaceVertices
};

void ReadFrom(Run& run, std::string_view text) {
  Parser parser(run, text);
  if (run.NextSegmentEntry == 1)
    parser.InterRealmPass();
  else
    parser.ReadBlock();
}

}  // namespace

void ReadInput(Run& run) {
  if (run.NextSegmentEntry != 1 && run.session.special.any()) {
    GenerateShape(run);
    return;
  }
  if (const std::string name = std::filesystem::path(run.InputName).filename().string();
      run.NextSegmentEntry != 1 && !run.InputText && name.rfind(ConwayInputPrefix, 0) == 0) {
    ReadConwayInput(run, name.substr(std::strlen(ConwayInputPrefix)));
    return;
  }
  run.CurrentFileName = run.InputName;
  if (run.InputText) {
    ReadFrom(run, *run.InputText);
    return;
  }
  const std::string text = ReadWholeFile(run.InputName);
  if (const InputKind kind = InputKindOf(run.InputName, text); kind != InputKind::Kelmor) {
    ReadForeignInput(run, kind, text);
    return;
  }
  ReadFrom(run, text);
}

void ReadInputText(Run& run, std::string_view text) {
  if (run.NextSegmentEntry != 1 && run.session.special.any()) {
    GenerateShape(run);
    return;
  }
  run.CurrentFileName = run.InputName;
  ReadFrom(run, text);
}

}  // namespace kelmor
