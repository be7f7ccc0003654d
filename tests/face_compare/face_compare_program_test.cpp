// face-compare as a user runs it, on a face drawn by tolvan-face (a real control through COM):
// its exit status (0 match, 1 differ, 2 bad input), its report and its reviewer's picture.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <string>

#include "platform/gdi.h"
#include "tests/support/temp_folder.h"
#include "tools/face_compare/png_reading.h"

namespace face_compare {
namespace {

struct ProgramRun {
    int status = -1;
    std::string output;  // standard output and error together
};

ProgramRun RunShell(const std::string& command) {
    ProgramRun run;
    std::FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    if (pipe == nullptr) {
        return run;
    }
    char buffer[4096];
    std::size_t read = 0;
    while ((read = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) {
        run.output.append(buffer, read);
    }
    const int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

class FaceCompareProgramTest : public ::testing::Test {
  protected:
    void SetUp() override {
        // tolvan-face registers the control into a registry of its own when this one is
        // missing.
        const ProgramRun drawn = RunShell("FORECOURT_REGISTRY=" + folder_.File("no-registry") +
                                          " LC_ALL=C " + TOLVAN_FACE_PROGRAM +
                                          " --state 3 --hose 1 --volume 1.5 --value 3 --price 2 "
                                          "--number 12 -o " +
                                          Expected());
        ASSERT_EQ(drawn.status, 0) << drawn.output;
        std::string failure;
        ASSERT_TRUE(ReadPng(Expected(), &face_, &failure)) << failure;
        ASSERT_EQ(face_.width, 80);
    }

    std::string Expected() const { return folder_.File("expected.png"); }

    // `picture` written as `name` in the test's folder; its path.
    std::string Write(const platform::PixelSurface& picture, const std::string& name) {
        const std::string path = folder_.File(name);
        std::string failure;
        EXPECT_TRUE(WritePng(picture, path.c_str(), &failure)) << failure;
        return path;
    }

    // The face inside a 200 by 120 capture at 37,21.
    platform::PixelSurface Capture() const {
        platform::PixelSurface capture;
        capture.Reset(200, 120, 0x3A6EA5);
        for (int y = 0; y < 80; ++y) {
            for (int x = 0; x < 80; ++x) {
                capture.at(37 + x, 21 + y) = face_.at(x, y);
            }
        }
        return capture;
    }

    ProgramRun Compare(const std::string& arguments) {
        return RunShell(std::string(FACE_COMPARE_PROGRAM) + " " + arguments);
    }

    test_support::TempFolder folder_{"face_compare"};
    platform::PixelSurface face_;
};

TEST_F(FaceCompareProgramTest, AMatchingCaptureExitsZero) {
    const std::string capture = Write(Capture(), "capture.png");
    const struct {
        std::string arguments;
        const char* report;
    } cases[] = {
        {Expected() + " " + Expected(),
         "the faces match; inks: pump number #FFFFFF, volume readout #008000, value readout "
         "#008000, price readout #008000, grade name #FFFFFF\n"},
        {Expected() + " " + capture + " --at 37,21",
         "the faces match; inks: pump number #FFFFFF, volume readout #008000, value readout "
         "#008000, price readout #008000, grade name #FFFFFF\n"},
        {Expected() + " --at 37,21 " + capture + " --ink number=#FFFFFF --tolerance 0",
         "the faces match; inks: pump number #FFFFFF, volume readout #008000, value readout "
         "#008000, price readout #008000, grade name #FFFFFF\n"},
    };
    for (const auto& c : cases) {
        const ProgramRun run = Compare(c.arguments);
        EXPECT_EQ(run.status, 0) << c.arguments;
        EXPECT_EQ(run.output, c.report) << c.arguments;
    }
}

TEST_F(FaceCompareProgramTest, ADifferentCaptureExitsOneWithAReportAndAPicture) {
    platform::PixelSurface capture = Capture();
    ASSERT_EQ(face_.at(0, 40), 0x000000u) << "the body's left edge";
    capture.at(37 + 0, 21 + 40) = 0x000001;
    const std::string path = Write(capture, "capture.png");
    const std::string diff = folder_.File("diff.png");
    const ProgramRun run = Compare(Expected() + " " + path + " --at 37,21 --diff " + diff);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.output,
              "the faces differ\n"
              "pixel (0,40) outside the text areas: expected #000000, captured #000001\n"
              "differing pixels: outside the text areas 1, pump number 0, volume readout 0, "
              "value readout 0, price readout 0, grade name 0\n");
    platform::PixelSurface picture;
    std::string failure;
    ASSERT_TRUE(ReadPng(diff, &picture, &failure)) << failure;
    EXPECT_EQ(picture.width, 960);
    EXPECT_EQ(picture.at(640 + 1, 160 + 1), 0xFF0000u);
}

TEST_F(FaceCompareProgramTest, BadInputExitsTwo) {
    const std::string capture = Write(Capture(), "capture.png");
    platform::PixelSurface wide;
    wide.Reset(81, 80);
    const std::string widePath = Write(wide, "wide.png");
    platform::PixelSurface tooWide;
    tooWide.Reset(4097, 1);
    const std::string huge = Write(tooWide, "huge.png");
    const std::string text = folder_.File("text.png");
    std::FILE* file = std::fopen(text.c_str(), "w");
    ASSERT_NE(file, nullptr);
    std::fputs("not a picture\n", file);
    std::fclose(file);
    const struct {
        std::string arguments;
        std::string message;
    } cases[] = {
        {Expected() + " " + folder_.File("missing.png"),
         "face-compare: " + folder_.File("missing.png") + ": No such file or directory\n"},
        {text + " " + Expected(), "face-compare: " + text + ": not a PNG picture: "},
        {Expected() + " " + huge,
         "face-compare: " + huge + ": a picture of 4097 by 1 is larger than 4096 by 4096\n"},
        {widePath + " " + Expected(),
         "face-compare: the expected picture is 81 by 80, not a face of 80 by 80\n"},
        {Expected() + " " + capture + " --at 121,0",
         "face-compare: a face of 80 by 80 at 121,0 does not fit in the captured picture of "
         "200 by 120\n"},
        {Expected() + " " + capture + " --at 12", "face-compare: --at needs X,Y, not 12\n"},
        {Expected() + " " + capture + " --ink nozzle=#FFFFFF",
         "face-compare: --ink needs AREA=#RRGGBB with AREA number, volume, value, price or "
         "grade, not nozzle=#FFFFFF\n"},
        {Expected() + " " + capture + " --ink grade=white",
         "face-compare: --ink grade=white: the colour must be #RRGGBB\n"},
        {Expected(), "face-compare: give the expected and the captured picture\n"},
        {Expected() + " " + capture + " --size 3", "face-compare: unknown option --size\n"},
    };
    for (const auto& c : cases) {
        const ProgramRun run = Compare(c.arguments);
        EXPECT_EQ(run.status, 2) << c.arguments;
        EXPECT_EQ(run.output.substr(0, c.message.size()), c.message) << c.arguments;
    }
}

// Under a host whose site has no ambient properties (ATL's host under Wine) the control paints
// with its default, the window colour: tolvan-face draws that picture with --back-colour none.
TEST_F(FaceCompareProgramTest, TolvanFaceDrawsTheBackgroundTheSiteGives) {
    const struct {
        const char* option;
        std::uint32_t background;
    } cases[] = {
        {"", 0xF0F0F0},  // the button face
        {"--back-colour none", 0xFFFFFF},
        {"--back-colour '#123456'", 0x123456},
        {"--back-colour '#c0C0c0'", 0xC0C0C0},
    };
    for (const auto& c : cases) {
        const std::string path = folder_.File("back.png");
        const ProgramRun drawn =
            RunShell("FORECOURT_REGISTRY=" + folder_.File("no-registry") + " " +
                     TOLVAN_FACE_PROGRAM + " --state 3 " + c.option + " -o " + path);
        ASSERT_EQ(drawn.status, 0) << c.option << ": " << drawn.output;
        platform::PixelSurface face;
        std::string failure;
        ASSERT_TRUE(ReadPng(path, &face, &failure)) << failure;
        EXPECT_EQ(face.at(75, 15), c.background) << c.option << ": right of the nozzle";
        EXPECT_EQ(face.at(0, 40), 0x000000u) << c.option << ": the body";
    }
    for (const char* bad : {"--back-colour red", "--back-colour '#12345'", "--back-colour"}) {
        const ProgramRun drawn = RunShell(std::string(TOLVAN_FACE_PROGRAM) + " " + bad + " -o " +
                                          folder_.File("bad.png"));
        EXPECT_EQ(drawn.status, 2) << bad;
        EXPECT_NE(drawn.output.find("tolvan-face: --back-colour needs #RRGGBB or none"),
                  std::string::npos)
            << drawn.output;
    }
}

}  // namespace
}  // namespace face_compare
