#pragma once

#include <gtest/gtest.h>

#include <string>
#include <system_error>

#include "card/file_io.h"

// The reason of the FileError that operation throws, after checking that it names expected_path.
template <typename Operation>
std::error_code FileErrorOf(Operation operation, const std::string& expected_path) {
  try {
    operation();
  } catch (const FileError& error) {
    EXPECT_EQ(error.path(), expected_path);
    EXPECT_NE(std::string(error.what()).find(expected_path), std::string::npos);
    return error.reason();
  }
  ADD_FAILURE() << "no FileError";
  return {};
}
