#include <sys/stat.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <functional>
#include <thread>

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
    // What must hold of the folder afterwards; null for nothing more.
    std::function<void(const ScratchFolder&)> check = nullptr;
};

// The kind of what stands at path, not following a link.
std::filesystem::file_type KindOf(const std::string& path)
{
    return std::filesystem::symlink_status(path).type();
}

std::vector<std::string> WithFifo(const ScratchFolder& f, const std::string& fifo, std::vector<std::string> args)
{
    WriteWholeFile(f.File("run.dat"), kThreeFrames);
    EXPECT_EQ(::mkfifo(f.File(fifo).c_str(), 0644), 0);
    return args;
}

// Outputs that are not regular files: refused with exit 2 before anything is written,
// and still what they were. As root a rename would really replace /dev/null, so it is
// reached only through a link in the test's folder.
void NothingWrittenAndStill(const ScratchFolder& f, const std::string& name, std::filesystem::file_type kind)
{
    EXPECT_EQ(KindOf(f.File(name)), kind) << name;
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(f.Path()), {}), 2) << "nothing beside run.dat";
    EXPECT_EQ(KindOf("/dev/null"), std::filesystem::file_type::character);
}

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
    {"CSV onto a FIFO",
     [](const ScratchFolder& f) { return WithFifo(f, "out.csv", {f.File("run.dat"), "--csv", f.File("out.csv")}); },
     2, "out.csv is a FIFO, not a regular file; nothing was written", "", 0, 0,
     [](const ScratchFolder& f) { NothingWrittenAndStill(f, "out.csv", std::filesystem::file_type::fifo); }},
    {"CSV onto a link to /dev/null",
     [](const ScratchFolder& f) {
         WriteWholeFile(f.File("run.dat"), kThreeFrames);
         std::filesystem::create_symlink("/dev/null", f.File("null.csv"));
         return std::vector<std::string>{f.File("run.dat"), "--csv", f.File("null.csv")};
     },
     2, "null.csv is a symbolic link, not a regular file", "", 0, 0,
     [](const ScratchFolder& f) { NothingWrittenAndStill(f, "null.csv", std::filesystem::file_type::symlink); }},
    {"figures beside the CSV onto a FIFO: not even the CSV is written",
     [](const ScratchFolder& f) {
         return WithFifo(f, "out.figures.csv", {f.File("run.dat"), "--csv", f.File("out.csv")});
     },
     2, "out.figures.csv is a FIFO", "", 0, 0,
     [](const ScratchFolder& f) { NothingWrittenAndStill(f, "out.figures.csv", std::filesystem::file_type::fifo); }},
    {"a picture onto a link to a file yet to be made",
     [](const ScratchFolder& f) {
         WriteWholeFile(f.File("run.dat"), kThreeFrames);
         std::filesystem::create_symlink(f.File("later.png"), f.File("out.png"));
         return std::vector<std::string>{f.File("run.dat"), "--plot", f.File("out.png")};
     },
     2, "out.png is a symbolic link", "", 0, 0,
     [](const ScratchFolder& f) { NothingWrittenAndStill(f, "out.png", std::filesystem::file_type::symlink); }},
    {"CSV to standard output: no figures unless asked",
     [](const ScratchFolder& f) {
         WriteWholeFile(f.File("run.dat"), kThreeFrames);
         return std::vector<std::string>{f.File("run.dat"), "--csv", "-"};
     },
     0, "", "time_ms,wall_time,state,state_name,distance_cm,label\r\n", 0, 0,
     [](const ScratchFolder& f) { EXPECT_EQ(std::distance(std::filesystem::directory_iterator(f.Path()), {}), 1); }},
    {"CSV to standard output, figures to a file",
     [](const ScratchFolder& f) {
         WriteWholeFile(f.File("run.dat"), kThreeFrames);
         return std::vector<std::string>{f.File("run.dat"), "--csv", "-", "--figures", f.File("fig.csv")};
     },
     0, "", ",moving,300,", 0, 0,
     [](const ScratchFolder& f) {
         EXPECT_EQ(ReadWholeFile(f.File("fig.csv")).rfind("figure,state,value,unit\r\n", 0), 0u);
     }},
    {"figures onto the CSV itself",
     [](const ScratchFolder& f) {
         WriteWholeFile(f.File("run.dat"), kThreeFrames);
         return std::vector<std::string>{f.File("run.dat"), "--csv", f.File("out.csv"), "--figures", f.File("out.csv")};
     },
     2, "would overwrite the file of --csv", ""},
    {"a FIFO recording", [](const ScratchFolder& f) { return WithFifo(f, "pipe.dat", {f.File("pipe.dat")}); }, 3,
     "not a regular file (a FIFO)", ""},
    {"a FIFO capture index",
     [](const ScratchFolder& f) { return WithFifo(f, "run.dat.idx", {f.File("run.dat")}); }, 0,
     "run.dat.idx is not a regular file", "reports    3:"},
    {"a FIFO labels file",
     [](const ScratchFolder& f) { return WithFifo(f, "run.dat.labels", {f.File("run.dat"), "--summary"}); }, 0,
     "run.dat.labels is not a regular file", "no labels"},
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
        if (replay.check)
            replay.check(folder);
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
    EXPECT_NE(result.err.find("the module did not keep nMotionlessRangeMax (written 400, reads back 425)"),
              std::string::npos)
        << result.err;
    EXPECT_EQ(result.err.find("nMotionlessRangeMax", result.err.find("nMotionlessRangeMax") + 1), std::string::npos)
        << "said once: " << result.err;
    EXPECT_EQ(result.out, ParamLines(30, 425, 30, 717, 20)) << "what the module holds";
}

TEST(RadarCliParams, AFieldAVersion1ModuleCannotSetIsSaidSoNotThatItReadsBackDifferently)
{
    SimModuleProcess sim({"--protocol", "1"});
    ASSERT_TRUE(sim.IsStarted());
    const CliResult result =
        RunRadarCli({"params", "write", "--port", sim.DevicePath(), "--set", "fKalman1=0.25", "--set", "nOffTime=30"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.err.find("the module (protocol version 1) cannot set fKalman1"), std::string::npos) << result.err;
    EXPECT_EQ(result.err.find("reads back"), std::string::npos) << "nothing was sent for it: " << result.err;
    EXPECT_EQ(result.err.find("check the port"), std::string::npos) << result.err;
    EXPECT_EQ(result.out, ParamLines(30, 425, 30, 717, 30)) << "the basic field was written";
}

// A slow module: every command after entering is answered 250 ms late, so the write of
// eight fields takes seconds. A stop sends nothing more, leaves command mode and ends.
TEST(RadarCliParams, SigtermEndsAWriteWithinASecondAndLeavesCommandMode)
{
    SimModuleProcess sim({"--late", "any:250:1"});
    ASSERT_TRUE(sim.IsStarted());
    RadarCliProcess write({"params", "write", "--port", sim.DevicePath(), "--set", "nMotionlessRangeMin=31", "--set",
                           "nMotionlessRangeMax=401", "--set", "nMotionRangeMin=32", "--set", "nMotionRangeMax=701",
                           "--set", "nOffTime=21", "--set", "nMotionIIR=3", "--set", "nMotionlessIIR=7", "--set",
                           "nMotionWindowRange=6"});
    ASSERT_TRUE(write.IsStarted());
    std::this_thread::sleep_for(std::chrono::milliseconds(700));
    const auto signalled = std::chrono::steady_clock::now();
    write.Signal(SIGTERM);
    const CliResult result = write.Finish(10000);
    const auto stopMs =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - signalled).count();
    EXPECT_EQ(result.exitCode, 1) << result.err;
    EXPECT_LT(stopMs, 1000);
    EXPECT_NE(result.err.find("stopped by SIGTERM"), std::string::npos) << result.err;
    EXPECT_EQ(result.err.find("check the port"), std::string::npos) << result.err;
    EXPECT_EQ(RunRadarCli({"params", "read", "--port", sim.DevicePath()}).exitCode, 0) << "not left in command mode";
}

TEST(RadarCliParams, ABackupFolderThatCannotBeMadeIsNotBlamedOnTheWiring)
{
    SimModuleProcess sim;
    ASSERT_TRUE(sim.IsStarted());
    ScratchFolder folder;
    const std::string file = folder.File("module.json");
    ASSERT_EQ(RunRadarCli({"params", "save", file, "--port", sim.DevicePath()}).exitCode, 0);
    WriteWholeFile(folder.File("plain"), "a file where the folder would go");
    const CliResult result =
        RunRadarCli({"params", "restore", file, "--port", sim.DevicePath(), "--out", folder.File("plain/Log")});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.err.find("no backup of the module's values could be saved"), std::string::npos) << result.err;
    EXPECT_EQ(result.err.find("check the port"), std::string::npos) << result.err;
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

// A FIFO would block a reader's open for ever and be replaced by a writer's rename;
// a folder is no file to save into, whatever --replace says.
TEST(RadarCliParams, SnapshotFilesThatAreNotRegularFilesAreRefusedAtOnce)
{
    ScratchFolder folder;
    ASSERT_EQ(::mkfifo(folder.File("fifo.json").c_str(), 0644), 0);
    std::filesystem::create_directory(folder.File("folder.json"));
    for (const char* action : {"diff", "restore"}) {
        SCOPED_TRACE(action);
        const CliResult result =
            RunRadarCli({"params", action, folder.File("fifo.json"), "--port", "/nonexistent/ttyRadar"}, {}, 5000);
        EXPECT_EQ(result.exitCode, 4);
        EXPECT_NE(result.err.find("fifo.json is not a file (a FIFO)"), std::string::npos) << result.err;
    }
    for (const char* name : {"fifo.json", "folder.json"}) {
        for (const bool replace : {false, true}) {
            SCOPED_TRACE(std::string(name) + (replace ? " --replace" : ""));
            std::vector<std::string> args{"params", "save", folder.File(name), "--port", "/nonexistent/ttyRadar"};
            if (replace)
                args.push_back("--replace");
            const CliResult result = RunRadarCli(args, {}, 5000);
            EXPECT_EQ(result.exitCode, 2);
            EXPECT_NE(result.err.find(", not a regular file; nothing was saved"), std::string::npos) << result.err;
            EXPECT_EQ(result.err.find("--replace"), std::string::npos) << result.err;
        }
    }
    EXPECT_EQ(std::filesystem::symlink_status(folder.File("fifo.json")).type(), std::filesystem::file_type::fifo);
    EXPECT_TRUE(std::filesystem::is_directory(folder.File("folder.json")));
}

}  // namespace
