#include "output/call_files.h"

#include <memory>
#include <sstream>

#include "files/private_file.h"
#include "output/output_call.h"
#include "run/run.h"

namespace kelmor {

void WriteCallFile(OutputCall& call, const std::filesystem::path& path,
                   const std::function<void(std::ostream&)>& write) {
  call.run.CurrentFileName = path.string();
  if (call.run.HeldFiles) {
    std::ostringstream text;
    write(text);
    call.held.push_back({path.string(), std::move(text).str()});
    return;
  }
  auto file = std::make_shared<PrivateFile>(path);
  write(file->stream());
  file->Finish();
  call.pending.push_back(std::move(file));
}

void CommitCallFiles(OutputCall& call) {
  if (call.run.HeldFiles) {
    for (HeldFile& file : call.held) {
      call.written.push_back(file.path);
      call.run.HeldFiles->push_back(std::move(file));
    }
    call.held.clear();
    return;
  }
  std::vector<PrivateFile*> files;
  for (const std::shared_ptr<PrivateFile>& file : call.pending) files.push_back(file.get());
  CommitFiles(
      files, [&](const PrivateFile& file) { call.run.CurrentFileName = file.target().string(); },
      [&](const PrivateFile& file) { call.written.push_back(file.target().string()); });
  call.pending.clear();
}

void AddToSegmentFile(OutputCall& call, const std::filesystem::path& path, bool append,
                      const std::function<void(std::ostream&)>& write) {
  Run& run = call.run;
  run.CurrentFileName = path.string();
  if (run.HeldFiles) {
    if (!append || run.SegmentFileHeld.path != path.string()) run.SegmentFileHeld = {path.string(), {}};
    std::ostringstream text;
    write(text);
    run.SegmentFileHeld.bytes += std::move(text).str();
    return;
  }
  if (!append || !run.SegmentFileBuilt || run.SegmentFileBuilt->target() != path) {
    run.SegmentFileBuilt.reset();
    run.SegmentFileBuilt = std::make_shared<PrivateFile>(path);
  }
  std::ostream& os = run.SegmentFileBuilt->stream();
  write(os);
  os.flush();
}

void CompleteSegmentFile(OutputCall& call) {
  if (call.run.HeldFiles) {
    if (call.run.SegmentFileHeld.path.empty()) return;
    call.held.push_back(std::move(call.run.SegmentFileHeld));
    call.run.SegmentFileHeld = {};
    return;
  }
  if (!call.run.SegmentFileBuilt) return;
  call.run.SegmentFileBuilt->Finish();
  call.pending.push_back(std::move(call.run.SegmentFileBuilt));
  call.run.SegmentFileBuilt.reset();
}

}  // namespace kelmor
