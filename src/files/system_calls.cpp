#include "files/system_calls.h"

#include <unistd.h>

#include <atomic>
#include <cstdio>

namespace kelmor {

namespace {

const FileSystemCalls RealCalls{::write, ::fsync, ::close, ::rename, ::fsync};

// Read with acquire on every call: a worker thread syncing a file sees the table that was
// in force when its work was handed to it.
std::atomic<const FileSystemCalls*> current{&RealCalls};

}  // namespace

const FileSystemCalls& FileCalls() { return *current.load(std::memory_order_acquire); }

const FileSystemCalls& FileCallsOverride::Real() { return RealCalls; }

FileCallsOverride::FileCallsOverride(const FileSystemCalls& calls)
    : previous_(current.exchange(&calls, std::memory_order_acq_rel)) {}

FileCallsOverride::~FileCallsOverride() { current.store(previous_, std::memory_order_release); }

}  // namespace kelmor
