// The Windows form of the captured-output helper that the transfer's tests compare console
// text with: every byte printed, line feeds as printed, standard output restored afterwards.
#include "tests/support/captured_output.h"

#include <gtest/gtest.h>
#include <io.h>

#include <cstdio>
#include <stdexcept>
#include <string>

namespace {

TEST(CapturedOutput, KeepsEveryBytePrintedWithItsLineFeeds) {
    const std::string text = test_support::CaptureStdout([] {
        std::printf("Exporting...\n");
        std::fputs("a\r\nb\n", stdout);
        std::fwrite("\0z", 1, 2, stdout);
    });
    EXPECT_EQ(text, std::string("Exporting...\na\r\nb\n\0z", 20));
    // Straight to the descriptor, past the stream.
    EXPECT_EQ(test_support::CaptureStdout([] { _write(1, "direct\n", 7); }), "direct\n");
}

TEST(CapturedOutput, StandardOutputIsRestoredAfterwardsAndAfterAThrow) {
    EXPECT_EQ(test_support::CaptureStdout([] { std::printf("first"); }), "first");
    EXPECT_THROW(test_support::CaptureStdout([] {
                     std::printf("lost");
                     throw std::runtime_error("stop");
                 }),
                 std::runtime_error);
    // Each capture holds only its own text: the one before it was closed and put back.
    EXPECT_EQ(test_support::CaptureStdout([] { std::printf("second\n"); }), "second\n");
}

}  // namespace
