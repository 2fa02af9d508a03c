#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "run/packscan_run.h"

namespace packscan::testing {

// A fresh folder under the system's temporary directory, removed afterwards.
struct TempDir {
  std::filesystem::path path;
  TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "packscan-test-XXXXXX").string();
    path = mkdtemp(pattern.data());
  }
  ~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
  }
  std::filesystem::path operator/(const std::string& name) const { return path / name; }
};

inline void writeText(const std::filesystem::path& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary);
  out << text;
}

inline std::string readText(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// The lines of a text without their LF terminators.
inline std::vector<std::string> splitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = text.find('\n', start);
    if (end == std::string::npos) {
      lines.push_back(text.substr(start));
      break;
    }
    lines.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

inline std::string sourcePath(const std::string& relative) {
  return std::string(PACKSCAN_SOURCE_DIR) + "/" + relative;
}

struct RunResult {
  int status;
  std::string diagnostics;  // everything printed on standard error
};

// A whole run in `dir`, in this process, with standard error captured.
inline RunResult runIn(const TempDir& dir) {
  ::testing::internal::CaptureStderr();
  const int status = runPackscan(dir.path.string());
  return {status, ::testing::internal::GetCapturedStderr()};
}

inline std::string coordName(int k) { return "coord" + std::to_string(k) + ".xyz"; }

}  // namespace packscan::testing
