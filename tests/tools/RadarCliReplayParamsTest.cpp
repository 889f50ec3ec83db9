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
    // The picture of --plot as "out.png" in the folder: its width and height.
    int pngWidth = 0, pngHeight = 0;
};

// The size a PNG file says it has (its header chunk), or 0 x 0.
std::pair<int, int> PngSize(const std::string& bytes)
{
    if (bytes.size() < 24 || bytes.compare(0, 8, "\x89PNG\r\n\x1a\n") != 0 || bytes.compare(12, 4, "IHDR") != 0)
        return {0, 0};
    auto number = [&](std::size_t at) {
        return int(std::uint8_t(bytes[at])) << 24 | int(std::uint8_t(bytes[at + 1])) << 16 |
               int(std::uint8_t(bytes[at + 2])) << 8 | int(std::uint8_t(bytes[at + 3]));
    };
    return {number(16), number(20)};
}

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
    {"no valid report",
     [](const ScratchFolder& f) {
         WriteWholeFile(f.File("text.dat"), "no frame in here, only text\n");
         return std::vector<std::string>{f.File("text.dat"), "--csv", f.File("out.csv")};
     },
     3, "no valid report in this file", ""},
    {"a state value the module does not define counts as nobody",
     [](const ScratchFolder& f) {
         WriteWholeFile(f.File("four.dat"), kThreeFrames + std::string("\xAA\xAA\x03\x00\x00\x55\x55", 7));
         return std::vector<std::string>{f.File("four.dat")};
     },
     0, "", "reports    4: nobody 2 (1 of them sent as another state value), moving 1, motionless 1\n"},
    {"labels of a replay and live labels: the replay's count",
     [](const ScratchFolder& f) {
         WriteWholeFile(f.File("run.dat"), kThreeFrames);
         WriteWholeFile(f.File("run.dat.idx"),
                        "{\"type\":\"header\",\"format\":\"tivane-capture-index\",\"version\":1}\n"
                        "{\"t\":0,\"event\":\"label\",\"label\":\"moving\"}\n{\"t\":0,\"o\":0,\"n\":7}\n"
                        "{\"t\":50000,\"event\":\"label\",\"label\":\"off\"}\n{\"t\":100000,\"o\":7,\"n\":7}\n"
                        "{\"t\":200000,\"o\":14,\"n\":7}\n");
         WriteWholeFile(f.File("run.dat.labels"), "{\"t\":0,\"label\":\"still\"}\n");
         return std::vector<std::string>{f.File("run.dat"), "--summary"};
     },
     0, "",
     "Labels: those set in replays (the .labels file); the labels set while recording are left out\n"
     "Ground truth: 0.2 s labelled\n"
     "  empty   not labelled\n"
     "  moving  not labelled\n"
     "  still   0.2 s labelled, the module agreed 50.0 % of it\n"},
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
    {"a picture of the whole recording",
     [](const ScratchFolder& f) {
         WriteWholeFile(f.File("run.dat"), kThreeFrames);
         return std::vector<std::string>{f.File("run.dat"), "--plot", f.File("out.png"), "--width", "640", "--lang",
                                         "zh"};
     },
     0, "", "3 reports drawn", 640, 500},
    {"a picture into a missing folder",
     [](const ScratchFolder& f) {
         WriteWholeFile(f.File("run.dat"), kThreeFrames);
         return std::vector<std::string>{f.File("run.dat"), "--plot", f.File("none/out.png")};
     },
     1, "cannot be written", ""},
    {"a picture over the recording's index",
     [](const ScratchFolder& f) {
         WriteWholeFile(f.File("run.dat"), kThreeFrames);
         return std::vector<std::string>{f.File("run.dat"), "--plot", f.File("run.dat.idx")};
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
        if (replay.pngWidth > 0) {
            EXPECT_EQ(PngSize(ReadWholeFile(folder.File("out.png"))),
                      std::make_pair(replay.pngWidth, replay.pngHeight));
        }
        // Nothing the replay was given is lost.
        if (std::filesystem::is_regular_file(folder.File("run.dat"))) {
            EXPECT_EQ(ReadWholeFile(folder.File("run.dat")), kThreeFrames);
        }
    }
}

// What params read prints: all 18 in record order, the basic five as given, the rest
// at the module's power-up defaults.
std::string ParamLines(int motionlessMin, int motionlessMax, int motionMin, int motionMax, int offTime)
{
    return "nMotionlessRangeMin=" + std::to_string(motionlessMin) + "\nnMotionlessRangeMax=" +
           std::to_string(motionlessMax) + "\nnMotionRangeMin=" + std::to_string(motionMin) + "\nnMotionRangeMax=" +
           std::to_string(motionMax) + "\nnOffTime=" + std::to_string(offTime) +
           "\nnMotionIIR=2\nnMotionlessIIR=8\nfMotionNearEndCoef=40\nfMotionFarEndCoef=6\n"
           "fMotionlessNearEndCoef=40\nfMotionlessFarEndCoef=9\nnMotionWindowRange=5\nnMotionlessWindowRange=10\n"
           "fKalman1=0.5\nfKalman2=0.5\nfKalman3=0.85\nfKalman4=0.15\nnDistanceCalibration=0\n";
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

    result = RunRadarCli({"params", "write", "--port", port, "--set", "nOffTime=33", "--set", "nMotionRangeMin=40",
                          "--set", "fKalman2=0.3", "--set", "nDistanceCalibration=-7"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    std::string written = ParamLines(30, 425, 40, 717, 33);
    written.replace(written.find("fKalman2=0.5"), 12, "fKalman2=0.3");
    written.replace(written.find("nDistanceCalibration=0"), 22, "nDistanceCalibration=-7");
    EXPECT_EQ(result.out, written) << "what the module reads back";
    EXPECT_EQ(RunRadarCli({"params", "read", "--port", port}).out, written);

    result = RunRadarCli({"params", "reset", "--port", port});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    std::string reset = defaults;
    reset.replace(reset.find("fKalman2=0.5"), 12, "fKalman2=0.3");
    reset.replace(reset.find("nDistanceCalibration=0"), 22, "nDistanceCalibration=-7");
    EXPECT_EQ(result.out, reset) << "reset sets the basic five only";
}

TEST(RadarCliParams, AFieldTheModuleDoesNotKeepFailsTheWriteByName)
{
    SimModuleProcess sim({"--ignore-write", "2"});
    ASSERT_TRUE(sim.IsStarted());
    const CliResult result =
        RunRadarCli({"params", "write", "--port", sim.DevicePath(), "--set", "nMotionlessRangeMax=400"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.err.find("nMotionlessRangeMax was written as 400 but reads back as 425"), std::string::npos)
        << result.err;
    EXPECT_EQ(result.out, ParamLines(30, 425, 30, 717, 20)) << "what the module holds";
}

TEST(RadarCliParams, AModuleThatDoesNotAnswerFailsWithTheReason)
{
    SimModuleProcess sim({"--mute"});
    ASSERT_TRUE(sim.IsStarted());
    const CliResult result = RunRadarCli({"params", "read", "--port", sim.DevicePath()});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.err.find("the module did not answer (enter command mode) (check the port, the baud rate"),
              std::string::npos)
        << result.err;
    EXPECT_EQ(result.out, "");
}

TEST(RadarCliParams, SaveDiffAndRestoreASnapshot)
{
    SimModuleProcess sim;
    ASSERT_TRUE(sim.IsStarted());
    const std::string port = sim.DevicePath();
    ScratchFolder folder;
    const std::string file = folder.File("module.json");
    CliResult result = RunRadarCli({"params", "save", file, "--port", port});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, "saved " + file + " (firmware 1.0.0-sim)\n");
    const std::string saved = ReadWholeFile(file);
    EXPECT_NE(saved.find("\"format\": \"tivane-parameter-snapshot\""), std::string::npos) << saved;
    EXPECT_NE(saved.find("\"port\": \"" + port + "\""), std::string::npos) << saved;
    EXPECT_NE(saved.find("    \"fKalman3\": 0.85,\n"), std::string::npos) << saved;

    result = RunRadarCli({"params", "save", file, "--port", port});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.err.find("module.json already exists (--replace writes over it)"), std::string::npos) << result.err;
    EXPECT_EQ(ReadWholeFile(file), saved);

    ASSERT_EQ(RunRadarCli({"params", "write", "--port", port, "--set", "nOffTime=50", "--set", "fKalman4=0.2"}).exitCode, 0);
    result = RunRadarCli({"params", "diff", file, "--port", port});
    EXPECT_EQ(result.exitCode, 5);
    EXPECT_EQ(result.out, "nOffTime: snapshot 20, module 50\nfKalman4: snapshot 0.15, module 0.2\n");

    // The backup goes to Log/ of the current directory.
    result = RunRadarCli({"params", "restore", file, "--port", port}, folder.Path().string());
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_NE(result.out.find("restored 2 field(s); the other 16 already held the snapshot's values"),
              std::string::npos)
        << result.out;
    const std::vector<std::filesystem::path> backups(std::filesystem::directory_iterator(folder.File("Log")), {});
    ASSERT_EQ(backups.size(), 1u);
    EXPECT_NE(result.out.find("backup Log/" + backups[0].filename().string()), std::string::npos) << result.out;
    EXPECT_NE(ReadWholeFile(backups[0].string()).find("\"nOffTime\": 50,"), std::string::npos);

    result = RunRadarCli({"params", "diff", file, "--port", port});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, "no differences\n");
    result = RunRadarCli({"params", "read", "--json", "--port", port});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out.substr(result.out.find("\"parameters\"")), saved.substr(saved.find("\"parameters\"")));
}

TEST(RadarCliParams, ABadSnapshotIsRefusedBeforeAnyPortIsOpened)
{
    ScratchFolder folder;
    WriteWholeFile(folder.File("notes.json"), "{\"note\": \"not a snapshot\"}\n");
    WriteWholeFile(folder.File("wide.json"), "{\"format\": \"tivane-parameter-snapshot\", \"version\": 1}\n");
    const std::pair<const char*, const char*> cases[] = {
        {"gone.json", "gone.json: No such file or directory"},
        {"notes.json", "notes.json: not a parameter snapshot"},
        {"wide.json", "wide.json: \"saved_utc\" is missing"},
    };
    for (const auto& [name, message] : cases) {
        for (const char* action : {"diff", "restore"}) {
            SCOPED_TRACE(std::string(action) + " " + name);
            // The port does not exist: exit 4 shows that the file was judged first.
            const CliResult result =
                RunRadarCli({"params", action, folder.File(name), "--port", "/nonexistent/ttyRadar"});
            EXPECT_EQ(result.exitCode, 4);
            EXPECT_NE(result.err.find(message), std::string::npos) << result.err;
            EXPECT_EQ(result.out, "");
        }
    }
    EXPECT_FALSE(std::filesystem::exists(folder.File("Log")));
}

}  // namespace
