#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace packscan {

// The widest input format ends in column 90. Columns beyond this many are
// dropped as a record is read, so one endless line cannot exhaust memory.
inline constexpr std::size_t kStoredColumns = 256;

// One sequential text file of records (lines without their terminators).
// It is backed either by a file descriptor or, for tests and fuzzing, by
// memory. An output file keeps its earlier content until the run writes its
// first record to it; then it is emptied and receives exactly this run's
// records.
struct RecordFile {
  std::string name;
  int fd = -1;          // -1: the file lives in memory
  bool output = false;

  // Input side.
  std::string source;     // memory input: the whole content
  std::string buffer;     // file input: bytes read ahead
  std::size_t bufferPos = 0;
  bool sourceDone = false;  // no more bytes after the buffer
  std::string record;     // the current record, at most kStoredColumns long
  int lineNumber = 0;     // line number of the current record; 0 before the first
  bool createdEmpty = false;  // the file did not exist and the opening created it

  // Output side.
  std::string pending;    // records not yet handed to the file (all of them in memory)
  bool started = false;   // this run has written a record: earlier content is gone
};

// Opens an input file by name (in `directory`, if given); a missing file is
// created empty.
RecordFile openInputFile(const std::string& name, const std::string& directory = {});
// Opens an output file by name, creating it if missing, without emptying it.
RecordFile openOutputFile(const std::string& name, const std::string& directory = {});
RecordFile openInputMemory(const std::string& name, std::string content);
RecordFile openOutputMemory(const std::string& name);

// Reads the next record into file.record; false at end of file.
bool readRecord(RecordFile& file);
void rewindFile(RecordFile& file);

void appendRecord(RecordFile& file, std::string_view record);
// Hands every pending record to the file; a failure throws an output RunFailure.
void flushFile(RecordFile& file);
// Flushes and releases the file.
void closeFile(RecordFile& file);

// The records written so far to a memory output file, each ended by LF.
inline const std::string& memoryOutput(const RecordFile& file) { return file.pending; }

}  // namespace packscan
