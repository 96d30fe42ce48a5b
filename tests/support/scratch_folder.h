// A test with a folder of its own under the test temporary folder, emptied
// before the test and removed after it.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

class ScratchFolderTest : public ::testing::Test {
   protected:
    void SetUp() override {
        const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
        root = std::filesystem::path(::testing::TempDir()) /
               (std::string(test->test_suite_name()) + "_" + test->name() + "_" +
                std::to_string(getpid()));
        std::filesystem::remove_all(root);
        std::filesystem::create_directories(root);
    }
    void TearDown() override { std::filesystem::remove_all(root); }
    // The file `name` in the folder; "" when it is missing.
    std::string Read(const std::string& name) const {
        std::ifstream in(root / name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    // Writes the file `name`, making the folders on its way.
    void Write(const std::string& name, const std::string& text) const {
        std::filesystem::create_directories((root / name).parent_path());
        std::ofstream(root / name, std::ios::binary) << text;
    }
    std::filesystem::path root;
};
