// Reading, verified writes and restores against the stand-alone simulated module on a
// pseudo-terminal, with the faults it can be told to make.
#include <gtest/gtest.h>

#include <bit>
#include <cstring>
#include <filesystem>
#include <thread>

#include "DeviceTestHelpers.h"
#include "ParameterRead.h"
#include "ParameterTable.h"
#include "ReportFrames.h"
#include "ScratchFolder.h"
#include "SimModuleProcess.h"
#include "SnapshotFile.h"
#include "SnapshotRestore.h"
#include "VerifiedWrite.h"

using namespace ModuleParams;

namespace {

// Short waits keep the fault cases quick; the module answers within a few ms.
ExchangeTimings TestTimings()
{
    ExchangeTimings timings;
    timings.commandTimeoutMs = 300;
    timings.cleanMs = 100;
    return timings;
}

// A value for every field that differs from its default, floats with odd bits included.
DetectionParams Unusual()
{
    DetectionParams p;
    p.nMotionlessRangeMin = 12;
    p.nMotionlessRangeMax = 40000;
    p.nMotionRangeMin = 0;
    p.nMotionRangeMax = 65535;
    p.nOffTime = 7;
    p.nMotionIIR = 255;
    p.nMotionlessIIR = 0;
    p.fMotionNearEndCoef = -0.0f;
    p.fMotionFarEndCoef = 1e-45f;
    p.fMotionlessNearEndCoef = std::bit_cast<float>(0x7FC01234);  // a NaN with a payload
    p.fMotionlessFarEndCoef = 123456.789f;
    p.nMotionWindowRange = 1;
    p.nMotionlessWindowRange = 200;
    p.fKalman1 = 0.1f;
    p.fKalman2 = 0.25f;
    p.fKalman3 = 0.5f;
    p.fKalman4 = 3.4e38f;
    p.nDistanceCalibration = -31;
    return p;
}

bool SameBits(const DetectionParams& a, const DetectionParams& b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

class ModuleParamsOverPty : public testing::Test {
protected:
    ~ModuleParamsOverPty() override { Vetra_Interface_RadarDevice_Serial_Destroy(m_device); }

    // Starts simradar with options and opens it as the window does.
    void Open(const std::vector<std::string>& options)
    {
        m_sim = std::make_unique<SimModuleProcess>(options);
        ASSERT_TRUE(m_sim->IsStarted());
        ASSERT_EQ(Vetra_Interface_RadarDevice_Serial_OpenByPortNum(m_device, m_sim->PortNumber(), 256000, 2, 1, 1, 150),
                  1);
    }
    // The module is out of command mode when its reports flow again.
    bool Reporting() { return !FindReportFrames(ReadFor(m_device, 400)).empty(); }
    DetectionParams ModuleValues()
    {
        const ReadResult read = ReadAll(m_device, TestTimings());
        EXPECT_TRUE(read.ok) << read.error;
        return read.params;
    }
    const FieldCheck& Check(const WriteOutcome& outcome, const char* name)
    {
        const std::uint16_t id = FindParameter(std::string_view(name))->id;
        for (const FieldCheck& check : outcome.fields) {
            if (check.id == id)
                return check;
        }
        ADD_FAILURE() << name << " is not in the outcome";
        return outcome.fields.front();
    }

    VetraRadarHandle m_device = Vetra_Interface_RadarDevice_Serial_Create();
    std::unique_ptr<SimModuleProcess> m_sim;
};

TEST_F(ModuleParamsOverPty, AllEighteenFieldsMakeTheRoundTripBitForBit)
{
    ASSERT_NO_FATAL_FAILURE(Open({"--version", "PTY-9"}));
    const ReadResult before = ReadAll(m_device, TestTimings());
    ASSERT_TRUE(before.ok) << before.error;
    EXPECT_TRUE(SameBits(before.params, DetectionParams::Defaults()));
    EXPECT_EQ(before.firmware, "PTY-9");
    EXPECT_EQ(before.protocolVersion, 2);

    const WriteOutcome outcome = WriteVerified(m_device, AllFields(Unusual()), TestTimings());
    EXPECT_TRUE(outcome.ok) << outcome.error;
    EXPECT_EQ(outcome.error, "");
    ASSERT_EQ(outcome.fields.size(), kParameterCount);
    for (const FieldCheck& check : outcome.fields) {
        SCOPED_TRACE(FindParameter(check.id)->name);
        EXPECT_TRUE(check.sent && check.acknowledged && check.kept);
        EXPECT_EQ(check.readBack, check.written);
    }
    EXPECT_TRUE(SameBits(outcome.readBack, Unusual()));
    EXPECT_TRUE(outcome.notWritable.empty());
    EXPECT_TRUE(outcome.leftCommandMode);
    EXPECT_EQ(outcome.retries, 0);
    EXPECT_TRUE(Reporting());
    EXPECT_TRUE(SameBits(ModuleValues(), Unusual())) << "the module keeps them";
}

TEST_F(ModuleParamsOverPty, AFieldTheModuleIgnoresFailsTheWriteAndTheReadBackIsWhatItHolds)
{
    ASSERT_NO_FATAL_FAILURE(Open({"--ignore-write", "15"}));
    const WriteOutcome outcome = WriteVerified(m_device, AllFields(Unusual()), TestTimings());
    EXPECT_FALSE(outcome.ok);
    const FieldCheck& kalman3 = Check(outcome, "fKalman3");
    EXPECT_TRUE(kalman3.acknowledged) << "the module said yes";
    EXPECT_FALSE(kalman3.kept);
    EXPECT_EQ(kalman3.readBack, std::bit_cast<std::int32_t>(0.85f));
    EXPECT_EQ(outcome.readBack.fKalman3, 0.85f) << "the record to keep holds the module's value";
    EXPECT_EQ(outcome.readBack.fKalman4, 3.4e38f);
    EXPECT_EQ(outcome.error, "the module did not keep fKalman3 (written 0.5, reads back 0.85)");
    for (const FieldCheck& check : outcome.fields)
        EXPECT_EQ(check.kept, check.id != 15) << FindParameter(check.id)->name;
    EXPECT_TRUE(outcome.leftCommandMode);
}

TEST_F(ModuleParamsOverPty, AVersionOneModuleGetsTheBasicFiveAndTheRestAreListed)
{
    ASSERT_NO_FATAL_FAILURE(Open({"--protocol", "1"}));
    const WriteOutcome outcome = WriteVerified(m_device, AllFields(Unusual()), TestTimings());
    EXPECT_FALSE(outcome.ok);
    EXPECT_EQ(outcome.protocolVersion, 1);
    std::vector<std::uint16_t> expected;
    for (std::uint16_t id = 5; id <= 17; ++id)
        expected.push_back(id);
    EXPECT_EQ(outcome.notWritable, expected);
    for (const FieldCheck& check : outcome.fields) {
        SCOPED_TRACE(FindParameter(check.id)->name);
        EXPECT_EQ(check.sent, check.id <= 4);
        EXPECT_EQ(check.kept, check.id <= 4);
    }
    EXPECT_NE(outcome.error.find("the module (protocol version 1) cannot set fMotionNearEndCoef, fMotionFarEndCoef"),
              std::string::npos)
        << outcome.error;
    EXPECT_TRUE(outcome.leftCommandMode);

    // The basic five alone are a full success on such a module.
    const WriteOutcome basic = WriteVerified(m_device, {{4, 33}, {0, 600}}, TestTimings());
    EXPECT_TRUE(basic.ok) << basic.error;
    EXPECT_EQ(basic.readBack.nOffTime, 33);
}

TEST_F(ModuleParamsOverPty, ACommandAnsweredLateIsSentAgain)
{
    // The first set is answered after 600 ms; the writer gives up waiting at 300 ms.
    ASSERT_NO_FATAL_FAILURE(Open({"--late", "0x0067:600:0:1"}));
    Stopwatch watch;
    const WriteOutcome outcome = WriteVerified(m_device, {{4, 44}, {17, -2}}, TestTimings());
    EXPECT_TRUE(outcome.ok) << outcome.error;
    EXPECT_EQ(outcome.retries, 1);
    EXPECT_TRUE(Check(outcome, "nOffTime").acknowledged);
    EXPECT_EQ(outcome.readBack.nOffTime, 44);
    EXPECT_EQ(outcome.readBack.nDistanceCalibration, -2);
    EXPECT_LT(watch.ElapsedMs(), 3000);
    EXPECT_TRUE(Reporting());
}

TEST_F(ModuleParamsOverPty, WhenNoAnswerComesTheReadBackDecidesWhatWasApplied)
{
    // Every set is carried out but never answered: after three tries nothing more is sent.
    ASSERT_NO_FATAL_FAILURE(Open({"--no-answer", "0x0067"}));
    const WriteOutcome outcome = WriteVerified(m_device, {{0, 600}, {1, 50}, {4, 21}}, TestTimings());
    EXPECT_FALSE(outcome.ok);
    EXPECT_EQ(outcome.retries, 2);
    const FieldCheck& first = Check(outcome, "nMotionRangeMax");
    EXPECT_TRUE(first.sent);
    EXPECT_FALSE(first.acknowledged);
    EXPECT_TRUE(first.kept) << "carried out all the same, and the read-back shows it";
    EXPECT_FALSE(Check(outcome, "nMotionRangeMin").sent);
    EXPECT_EQ(outcome.error, "setting nMotionRangeMax failed (no reply, 3 tries); not sent: nMotionRangeMin, nOffTime");
    EXPECT_TRUE(outcome.leftCommandMode);
}

TEST_F(ModuleParamsOverPty, ADeadModuleOrALostLinkFailsSoonSayingWhich)
{
    struct Case {
        std::vector<std::string> options;
        int waitMs;  // before the write
        const char* error;
    };
    const Case cases[] = {
        {{"--mute"}, 0, "the module did not answer (enter command mode); nothing was sent"},
        {{"--hangup-after", "100"}, 400, "the link to the module is lost; nothing was sent"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.error);
        ASSERT_NO_FATAL_FAILURE(Open(c.options));
        std::this_thread::sleep_for(std::chrono::milliseconds(c.waitMs));
        Stopwatch watch;
        const WriteOutcome outcome = WriteVerified(m_device, AllFields(Unusual()), TestTimings());
        EXPECT_FALSE(outcome.ok);
        EXPECT_EQ(outcome.error, c.error);
        for (const FieldCheck& check : outcome.fields)
            EXPECT_FALSE(check.sent);
        EXPECT_FALSE(outcome.readBackOk);
        const ReadResult read = ReadAll(m_device, TestTimings());
        EXPECT_FALSE(read.ok);
        EXPECT_EQ(read.error + "; nothing was sent", c.error);
        EXPECT_LT(watch.ElapsedMs(), 2000) << "the module is given up on within the enter tries";
    }
}

TEST_F(ModuleParamsOverPty, BadFieldListsAreRefusedBeforeTheModuleIsAsked)
{
    ASSERT_NO_FATAL_FAILURE(Open({}));
    const std::pair<std::vector<FieldValue>, const char*> cases[] = {
        {{}, "no field to write"},
        {{{18, 1}}, "there is no parameter with identifier 18 (0 to 17)"},
        {{{4, 1}, {3, 2}, {4, 5}}, "nOffTime is given twice"},
    };
    for (const auto& [fields, error] : cases) {
        const WriteOutcome outcome = WriteVerified(m_device, fields, TestTimings());
        EXPECT_FALSE(outcome.ok);
        EXPECT_EQ(outcome.error, error);
        EXPECT_TRUE(outcome.fields.empty());
    }
    EXPECT_TRUE(SameBits(ModuleValues(), DetectionParams::Defaults()));
}

TEST_F(ModuleParamsOverPty, RestoreBacksUpWritesWhatDiffersAndSaysWhatWasApplied)
{
    ASSERT_NO_FATAL_FAILURE(Open({}));
    ScratchFolder folder;
    ParameterSnapshot snapshot;
    snapshot.savedUtc = "2026-01-02T03:04:05.006Z";
    snapshot.parameters = Unusual();
    snapshot.parameters.nOffTime = 20;  // already as the module has it: not sent
    ASSERT_TRUE(WriteVerified(m_device, {{3, 77}}, TestTimings()).ok);

    const RestoreOutcome outcome =
        RestoreSnapshot(m_device, snapshot, {"/dev/pts/x", "path:/dev/pts/x"}, folder.File("Log"), TestTimings());
    EXPECT_TRUE(outcome.ok) << outcome.error;
    EXPECT_EQ(outcome.applied.size(), 17u);
    EXPECT_EQ(outcome.write.fields.size(), 17u) << "nOffTime was not sent";
    EXPECT_TRUE(SameBits(outcome.write.readBack, snapshot.parameters));
    EXPECT_TRUE(outcome.leftCommandMode);
    ParameterSnapshot backup;
    std::string error;
    ASSERT_TRUE(LoadSnapshotFile(outcome.backupPath, backup, error)) << error;
    EXPECT_EQ(backup.parameters.nMotionlessRangeMin, 77) << "the backup holds what the module had";
    EXPECT_EQ(backup.port, "/dev/pts/x");
    EXPECT_EQ(backup.firmware, "1.0.0-sim");
    EXPECT_TRUE(SameBits(ModuleValues(), snapshot.parameters));

    // Again: nothing differs, nothing is written, and still a backup of its own.
    const RestoreOutcome again =
        RestoreSnapshot(m_device, snapshot, {"/dev/pts/x", "path:/dev/pts/x"}, folder.File("Log"), TestTimings());
    EXPECT_TRUE(again.ok) << again.error;
    EXPECT_TRUE(again.applied.empty());
    EXPECT_NE(again.backupPath, outcome.backupPath);
    EXPECT_TRUE(std::filesystem::exists(outcome.backupPath));
}

TEST_F(ModuleParamsOverPty, WithoutABackupNothingIsRestored)
{
    ASSERT_NO_FATAL_FAILURE(Open({}));
    ScratchFolder folder;
    WriteWholeFile(folder.File("Log"), "a file where the folder should be");
    ParameterSnapshot snapshot;
    snapshot.parameters = Unusual();
    const RestoreOutcome outcome = RestoreSnapshot(m_device, snapshot, {}, folder.File("Log"), TestTimings());
    EXPECT_FALSE(outcome.ok);
    EXPECT_EQ(outcome.backupPath, "");
    EXPECT_NE(outcome.error.find("no backup of the module's values could be saved"), std::string::npos) << outcome.error;
    EXPECT_NE(outcome.error.find("nothing was written"), std::string::npos) << outcome.error;
    EXPECT_TRUE(outcome.leftCommandMode);
    EXPECT_TRUE(SameBits(ModuleValues(), DetectionParams::Defaults()));
}

// A restore whose line goes dead after the module took two fields: commands 1 to 3 of
// the bracket are enter, firmware and read, 4 and 5 the first two sets.
struct LostLinkCase {
    const char* name;
    const char* lost;     // simradar --lose
    bool readBackOk;
};

class ModuleParamsLinkLost : public ModuleParamsOverPty, public testing::WithParamInterface<LostLinkCase> {};

TEST_P(ModuleParamsLinkLost, ARestoreCutShortSaysExactlyWhatWasAppliedAndLeavesCommandMode)
{
    const LostLinkCase& c = GetParam();
    ASSERT_NO_FATAL_FAILURE(Open({"--lose", c.lost}));
    ScratchFolder folder;
    ParameterSnapshot snapshot;
    snapshot.parameters = Unusual();
    const RestoreOutcome outcome = RestoreSnapshot(m_device, snapshot, {}, folder.File("Log"), TestTimings());
    EXPECT_FALSE(outcome.ok);
    EXPECT_FALSE(outcome.backupPath.empty()) << "the backup came before the first write";
    EXPECT_EQ(outcome.write.readBackOk, c.readBackOk);
    ASSERT_EQ(outcome.write.fields.size(), kParameterCount);
    for (const FieldCheck& check : outcome.write.fields) {
        SCOPED_TRACE(FindParameter(check.id)->name);
        EXPECT_EQ(check.acknowledged, check.id < 2);
        EXPECT_EQ(check.sent, check.id < 3);
    }
    if (c.readBackOk) {
        EXPECT_EQ(outcome.applied, (std::vector<std::uint16_t>{0, 1}));
        EXPECT_NE(outcome.error.find("setting nMotionlessRangeMax failed (no reply, 3 tries); not sent: "
                                     "nMotionlessRangeMin, nOffTime"),
                  std::string::npos)
            << outcome.error;
    } else {
        EXPECT_TRUE(outcome.applied.empty());
        EXPECT_NE(outcome.error.find("the parameters could not be read back (no reply)"), std::string::npos)
            << outcome.error;
        EXPECT_NE(outcome.error.find("the module acknowledged nMotionRangeMax, nMotionRangeMin (whether it holds them "
                                     "is unknown)"),
                  std::string::npos)
            << outcome.error;
    }
    EXPECT_TRUE(outcome.leftCommandMode);
    EXPECT_TRUE(Reporting()) << "the module is not left in command mode";
    const DetectionParams now = ModuleValues();
    EXPECT_EQ(now.nMotionRangeMax, 65535);
    EXPECT_EQ(now.nMotionRangeMin, 0);
    EXPECT_EQ(now.nMotionlessRangeMax, 425) << "lost on the line, never applied";
}

INSTANTIATE_TEST_SUITE_P(
    Restore, ModuleParamsLinkLost,
    testing::Values(LostLinkCase{"back_for_the_read_back", "any:5:3", true},
                    LostLinkCase{"back_only_to_leave", "any:5:6", false}),
    [](const testing::TestParamInfo<LostLinkCase>& info) { return std::string(info.param.name); });

}  // namespace
