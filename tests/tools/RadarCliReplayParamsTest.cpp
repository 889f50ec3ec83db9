#include <filesystem>
#include <functional>

#include <gtest/gtest.h>

#include "RadarCliProcess.h"
#include "RadarCliTestFiles.h"
#include "ScratchFolder.h"
#include "SimModuleProcess.h"

namespace {

// Three report frames: nobody at 0, moving at 300 cm, motionless at 258 cm.
const std::string kThreeFrames = std::string("\xAA\xAA\x00\x00\x00\x55\x55", 7) +
                                 std::string("\xAA\xAA\x01\x2C\x01\x55\x55", 7) +
                                 std::string("\xAA\xAA\x02\x02\x01\x55\x55", 7);

struct ReplayCase {
    const char* name;
    // Makes the file to replay in folder and gives the arguments after "replay".
    std::function<std::vector<std::string>(const ScratchFolder&)> make;
    int exitCode;
    const char* err;  // expected in stderr
    const char* out;  // expected in stdout; "" for nothing at all
};

const ReplayCase kReplayCases[] = {
    {"missing", [](const ScratchFolder& f) { return std::vector<std::string>{f.File("gone.dat")}; }, 3,
     "No such file or directory", ""},
    {"empty",
     [](const ScratchFolder& f) {
         WriteWholeFile(f.File("empty.dat"), "");
         return std::vector<std::string>{f.File("empty.dat")};
     },
     3, "is empty", ""},
    {"not a .dat",
     [](const ScratchFolder& f) {
         WriteWholeFile(f.File("run.log"), kThreeFrames);
         return std::vector<std::string>{f.File("run.log")};
     },
     3, "is not a recording", ""},
    {"a folder",
     [](const ScratchFolder& f) {
         std::filesystem::create_directory(f.File("folder.dat"));
         return std::vector<std::string>{f.File("folder.dat")};
     },
     3, "Is a directory", ""},
    {"corrupt index: decoded all the same, paced by the report interval",
     [](const ScratchFolder& f) {
         WriteWholeFile(f.File("run.dat"), kThreeFrames);
         WriteWholeFile(f.File("run.dat.idx"), "not an index\n");
         return std::vector<std::string>{f.File("run.dat")};
     },
     0, "run.dat.idx is not used", "reports    3: nobody 1, moving 1, motionless 1\npaced by   the report interval (50 ms)"},
    {"index describing bytes the .dat lacks",
     [](const ScratchFolder& f) {
         WriteWholeFile(f.File("run.dat"), kThreeFrames);
         WriteWholeFile(f.File("run.dat.idx"), "{\"t\":0,\"o\":0,\"n\":700}\n");
         return std::vector<std::string>{f.File("run.dat")};
     },
     0, "run.dat.idx is not used", "reports    3:"},
    {"no index, no labels",
     [](const ScratchFolder& f) {
         WriteWholeFile(f.File("run.dat"), kThreeFrames);
         return std::vector<std::string>{f.File("run.dat"), "--summary"};
     },
     0, "", "no labels\n"},
    {"CSV into a missing folder",
     [](const ScratchFolder& f) {
         WriteWholeFile(f.File("run.dat"), kThreeFrames);
         return std::vector<std::string>{f.File("run.dat"), "--csv", f.File("none/out.csv")};
     },
     1, "cannot be created", ""},
    {"CSV over the recording itself",
     [](const ScratchFolder& f) {
         WriteWholeFile(f.File("run.dat"), kThreeFrames);
         return std::vector<std::string>{f.File("run.dat"), "--csv", f.File("run.dat")};
     },
     2, "would overwrite", ""},
};

TEST(RadarCliReplay, EachKindOfFileGetsItsExitCodeAndMessage)
{
    for (const ReplayCase& replay : kReplayCases) {
        SCOPED_TRACE(replay.name);
        ScratchFolder folder;
        std::vector<std::string> args{"replay"};
        const std::vector<std::string> rest = replay.make(folder);
        args.insert(args.end(), rest.begin(), rest.end());
        const CliResult result = RunRadarCli(args);
        EXPECT_EQ(result.exitCode, replay.exitCode) << result.err;
        if (*replay.err) {
            EXPECT_NE(result.err.find(replay.err), std::string::npos) << result.err;
        } else {
            EXPECT_EQ(result.err, "");
        }
        if (*replay.out) {
            EXPECT_NE(result.out.find(replay.out), std::string::npos) << result.out;
        } else {
            EXPECT_EQ(result.out, "");
        }
        // Nothing the replay was given is lost.
        if (std::filesystem::is_regular_file(folder.File("run.dat"))) {
            EXPECT_EQ(ReadWholeFile(folder.File("run.dat")), kThreeFrames);
        }
    }
}

std::string ParamLines(int motionlessMin, int motionlessMax, int motionMin, int motionMax, int offTime)
{
    return "nMotionlessRangeMin=" + std::to_string(motionlessMin) + "\nnMotionlessRangeMax=" +
           std::to_string(motionlessMax) + "\nnMotionRangeMin=" + std::to_string(motionMin) + "\nnMotionRangeMax=" +
           std::to_string(motionMax) + "\nnOffTime=" + std::to_string(offTime) + "\n";
}

TEST(RadarCliParams, WriteIsVerifiedKeptByTheModuleAndResetRestoresTheDefaults)
{
    // One module across several connections, as a real one keeps its values.
    SimModuleProcess sim;
    ASSERT_TRUE(sim.IsStarted());
    const std::string port = sim.DevicePath();
    const std::string defaults = ParamLines(30, 425, 30, 717, 20);
    CliResult result = RunRadarCli({"params", "read", "--port", port});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, defaults);

    result = RunRadarCli({"params", "write", "--port", port, "--set", "nOffTime=33", "--set", "nMotionRangeMin=40"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, ParamLines(30, 425, 40, 717, 33)) << "what the module reads back";
    EXPECT_EQ(RunRadarCli({"params", "read", "--port", port}).out, ParamLines(30, 425, 40, 717, 33));

    // The module keeps 16 bits: the read-back tells.
    result = RunRadarCli({"params", "write", "--port", port, "--set", "nMotionlessRangeMax=-5"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.err.find("nMotionlessRangeMax was written as -5 but reads back as 65531"), std::string::npos)
        << result.err;

    result = RunRadarCli({"params", "reset", "--port", port});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, defaults);
    EXPECT_EQ(RunRadarCli({"params", "read", "--port", port}).out, defaults);
}

TEST(RadarCliParams, AModuleThatDoesNotAnswerFailsWithTheReason)
{
    SimModuleProcess sim({"--mute"});
    ASSERT_TRUE(sim.IsStarted());
    const CliResult result = RunRadarCli({"params", "read", "--port", sim.DevicePath()});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.err.find("no reply within 2000 ms"), std::string::npos) << result.err;
    EXPECT_EQ(result.out, "");
}

}  // namespace
