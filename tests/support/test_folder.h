#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>

namespace kestravin::test {

/// A fresh, empty folder in the temporary directory for the running test, named after it
/// and after this test process: test runs side by side (two builds, two checkouts) then
/// never share files.
inline std::filesystem::path freshTestFolder(const std::string& prefix) {
  static const std::string run = std::to_string(std::random_device{}());
  const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
  const std::string name = test != nullptr ? test->name() : "outside-a-test";
  const auto folder = std::filesystem::temp_directory_path() / (prefix + "-" + run + "-" + name);
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder);
  return folder;
}

}  // namespace kestravin::test
