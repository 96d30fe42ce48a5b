#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

// Puts the book, the page and the engine back to a fresh start before each
// test, and reads what a scan produced in a compact, comparable form.
class EngineTest : public ::testing::Test {
   protected:
    void SetUp() override;

    // Scans `markup` as a paragraph's text.
    void Scan(const std::string& markup);
    // Executes one command, as if the scanner had gathered it.
    uint8_t Execute(const std::string& command);

    // The page items, e.g. `T"word " bold T"next "`.
    static std::string Items();
    // The caption of button n of the page, as 8-bit text.
    static std::string Caption(int n);
    // The texts of the message boxes shown since SetUp.
    static std::vector<std::string> Messages();
    // The sounds started since SetUp ("" for a stop).
    static std::vector<std::string> Sounds();
};
