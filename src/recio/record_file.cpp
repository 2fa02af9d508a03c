#include "recio/record_file.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "recio/run_failure.h"

namespace packscan {
namespace {

constexpr std::size_t kReadChunk = 64 * 1024;
constexpr std::size_t kFlushThreshold = 64 * 1024;

[[noreturn]] void fail(FailureKind kind, const RecordFile& file, const char* action) {
  throw RunFailure{kind, file.name + ": cannot " + action + ": " + std::strerror(errno)};
}

// Refills the read-ahead buffer; false when the source has no more bytes.
bool refill(RecordFile& file) {
  if (file.sourceDone) return false;
  file.buffer.resize(kReadChunk);
  ssize_t got;
  do {
    got = ::read(file.fd, file.buffer.data(), kReadChunk);
  } while (got < 0 && errno == EINTR);
  if (got < 0) fail(FailureKind::Input, file, "read");
  file.buffer.resize(static_cast<std::size_t>(got));
  file.bufferPos = 0;
  if (got == 0) file.sourceDone = true;
  return got > 0;
}

void writeAll(RecordFile& file, const char* data, std::size_t size) {
  while (size > 0) {
    ssize_t put = ::write(file.fd, data, size);
    if (put < 0 && errno == EINTR) continue;
    if (put < 0) fail(FailureKind::Output, file, "write");
    data += put;
    size -= static_cast<std::size_t>(put);
  }
}

std::string pathOf(const std::string& name, const std::string& directory) {
  return directory.empty() ? name : directory + "/" + name;
}

}  // namespace

RecordFile openInputFile(const std::string& name, const std::string& directory) {
  RecordFile file;
  file.name = name;
  const std::string path = pathOf(name, directory);
  // O_NONBLOCK: opening a pipe that has no writer must not wait for one.
  // It changes nothing for a regular file.
  file.fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (file.fd < 0 && errno == ENOENT) {
    file.fd = ::open(path.c_str(), O_RDONLY | O_CREAT | O_CLOEXEC, 0666);
    file.createdEmpty = file.fd >= 0;
  }
  if (file.fd < 0) fail(FailureKind::Input, file, "open");
  // A pipe or a device cannot be rewound, and one such as /dev/zero never
  // ends: refuse it before any output file is touched. (A directory fails at
  // its first read, which says so.)
  struct stat info;
  if (::fstat(file.fd, &info) == 0 && !S_ISREG(info.st_mode) && !S_ISDIR(info.st_mode)) {
    ::close(file.fd);
    throw RunFailure{FailureKind::Input, name + ": cannot read: it is a pipe or a device, not a regular file"};
  }
  return file;
}

RecordFile openOutputFile(const std::string& name, const std::string& directory) {
  RecordFile file;
  file.name = name;
  file.output = true;
  file.fd = ::open(pathOf(name, directory).c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
  if (file.fd < 0) fail(FailureKind::Output, file, "open");
  return file;
}

RecordFile openInputMemory(const std::string& name, std::string content) {
  RecordFile file;
  file.name = name;
  file.source = std::move(content);
  return file;
}

RecordFile openOutputMemory(const std::string& name) {
  RecordFile file;
  file.name = name;
  file.output = true;
  return file;
}

bool readRecord(RecordFile& file) {
  const bool inMemory = file.fd < 0;
  std::string& bytes = inMemory ? file.source : file.buffer;
  if (file.bufferPos >= bytes.size() && (inMemory || !refill(file))) return false;

  file.record.clear();
  bool lastWasCarriageReturn = false;
  for (;;) {
    if (file.bufferPos >= bytes.size() && (inMemory || !refill(file))) break;
    const char* start = bytes.data() + file.bufferPos;
    const std::size_t available = bytes.size() - file.bufferPos;
    const void* newline = std::memchr(start, '\n', available);
    const std::size_t length =
        newline ? static_cast<std::size_t>(static_cast<const char*>(newline) - start) : available;
    if (length > 0) lastWasCarriageReturn = start[length - 1] == '\r';
    const std::size_t room = kStoredColumns + 1 - std::min(file.record.size(), kStoredColumns + 1);
    file.record.append(start, std::min(length, room));
    file.bufferPos += length;
    if (newline) {
      ++file.bufferPos;
      break;
    }
  }
  // A carriage return ending the line belongs to the terminator, not the record.
  if (lastWasCarriageReturn && file.record.size() <= kStoredColumns) file.record.pop_back();
  if (file.record.size() > kStoredColumns) file.record.resize(kStoredColumns);
  ++file.lineNumber;
  return true;
}

void rewindFile(RecordFile& file) {
  file.bufferPos = 0;
  file.lineNumber = 0;
  file.record.clear();
  if (file.fd < 0) return;
  if (::lseek(file.fd, 0, SEEK_SET) < 0) fail(FailureKind::Input, file, "rewind");
  file.buffer.clear();
  file.sourceDone = false;
}

void appendRecord(RecordFile& file, std::string_view record) {
  if (!file.started && file.fd >= 0) {
    // Earlier content goes only now, when this run has something to put in its place.
    struct stat info;
    if (::fstat(file.fd, &info) == 0 && S_ISREG(info.st_mode) && ::ftruncate(file.fd, 0) != 0)
      fail(FailureKind::Output, file, "empty");
  }
  file.started = true;
  file.pending.append(record);
  file.pending.push_back('\n');
  if (file.fd >= 0 && file.pending.size() >= kFlushThreshold) flushFile(file);
}

void flushFile(RecordFile& file) {
  if (file.fd < 0 || file.pending.empty()) return;
  std::string data;
  data.swap(file.pending);  // what failed to go out is not offered twice
  writeAll(file, data.data(), data.size());
}

void closeFile(RecordFile& file) {
  if (file.fd < 0) return;
  const int fd = file.fd;
  try {
    flushFile(file);
  } catch (...) {
    ::close(fd);
    file.fd = -1;
    throw;
  }
  file.fd = -1;
  if (::close(fd) != 0 && file.output) fail(FailureKind::Output, file, "write");
}

}  // namespace packscan
