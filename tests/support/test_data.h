// Golden files beside the tests, read whole.
#pragma once

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

// Returns the bytes of tests/data/`name`; fails the current test when the
// file cannot be opened.
inline std::vector<unsigned char> readData(const std::string& name) {
    std::ifstream in(std::string(STYLEDTEXT_TEST_DATA) + "/" + name, std::ios::binary);
    EXPECT_TRUE(in) << name;
    return std::vector<unsigned char>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}
