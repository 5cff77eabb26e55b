// libFuzzer target for the input parser: any text must end in a return, a message or a
// KelmorError, never in a crash, a hang or a sanitizer report.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "input/parser.h"
#include "model/error.h"
#include "run/host.h"
#include "run/run.h"

namespace {

// Records what the parser says and answers every question No / OK.
class FuzzHost : public kelmor::Host {
 public:
  void message(const std::string& text) override { lastMessage = text; ++messages; }
  bool askYesNo(const std::string&) override { return false; }
  bool askOkCancel(const std::string&) override { return true; }

  std::string lastMessage;
  int messages = 0;
};

// Table invariants a finished read must leave, whatever the text.
void CheckModel(const kelmor::Model& m) {
  if (m.FaceCount < 0 || m.FaceCount > kelmor::MaxItems) __builtin_trap();
  if (m.FaceCount > 0 && m.PolygonCount != m.FaceCount - m.DigonCount) __builtin_trap();
  if (m.EdgeCount < 1 || m.EdgeCount > kelmor::MaxEdges + 1) __builtin_trap();
  for (int row = 1; row < m.EdgeCount; ++row) {
    const int type = m.EdgeList(row, 3);
    if (m.EdgeList(row, 1) > m.EdgeList(row, 2) || type < 1 || type > 3) __builtin_trap();
  }
  if (m.MaxVertex > kelmor::MaxItems) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // One run for the whole process, its tables restored before every input: copying into
  // tables already sized costs far less than sizing them afresh each time.
  static const kelmor::Model pristine = [] {
    kelmor::Model m;
    m.Reset();
    return m;
  }();
  static kelmor::Session session;
  static FuzzHost host;
  static kelmor::Run run(session, host);
  static const bool primed = (run.model = pristine, true);  // the first input's start
  (void)primed;
  // Each input leaves the tables and the host as it found them, so that nothing it
  // allocated outlives it: libFuzzer runs an input again, looking for a leak, whenever
  // it ends with more allocations than releases.
  struct Restore {
    ~Restore() {
      run.model = pristine;
      host = FuzzHost();
      run.CurrentFileName.clear();
    }
  } restore;
  session.AllVerticesHighlighted = 0;
  run.NoRelaxation = 0;
  run.NextSegmentPending = 0;
  run.NextSegmentEntry = 0;
  run.InputName = "fuzz.txt";
  run.OutputDir = "out";
  run.OutputName = "fuzz";
  run.DebugOn = 1;  // the debug file stays off: lines are built but not written

  // The first byte chooses the entry: segment, segment count and inter-realm entry.
  if (size > 0) {
    const unsigned choice = data[0];
    run.model.SegmentIndex = 1 + static_cast<int>(choice & 7u) % kelmor::MaxSegments;
    run.model.SegmentCount = 1 + static_cast<int>((choice >> 3) & 7u) % kelmor::MaxSegments;
    run.NextSegmentEntry = (choice >> 6) & 1u;
    ++data;
    --size;
  }
  // Read in place: a read past the input's last byte is caught by the sanitizer.
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  try {
    kelmor::ReadInputText(run, text);
  } catch (const kelmor::KelmorError& e) {
    const int code = e.code();
    if (code != kelmor::ErrSubscript && code != kelmor::ErrOverflow && code != kelmor::ErrPastEnd)
      __builtin_trap();
    return 0;
  }
  CheckModel(run.model);
  return 0;
}
