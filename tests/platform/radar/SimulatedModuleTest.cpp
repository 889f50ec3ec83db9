#include <gtest/gtest.h>

#include <bit>

#include "ReportFrames.h"

using namespace ModuleProtocol;

namespace {

std::vector<std::uint8_t> SetPayload(std::initializer_list<std::pair<std::uint16_t, std::int32_t>> entries)
{
    std::vector<std::uint8_t> payload;
    for (const auto& [id, value] : entries) {
        std::uint8_t entry[6];
        WriteU16(entry, id);
        WriteU32(entry + 2, std::uint32_t(value));
        payload.insert(payload.end(), entry, entry + 6);
    }
    return payload;
}

std::vector<std::uint8_t> RunFor(CSimulatedModule& module, std::int64_t fromMs, std::int64_t toMs)
{
    std::vector<std::uint8_t> out;
    for (std::int64_t t = fromMs; t <= toMs; t += 10)
        module.AdvanceTo(t, out);
    return out;
}

}  // namespace

struct StatusCase {
    const char* name;
    bool inCommandMode;
    std::uint16_t word;
    std::vector<std::uint8_t> payload;
    int expectedStatus;
    int protocolVersion = 2;
};

class SimulatedModuleStatus : public testing::TestWithParam<StatusCase> {};

TEST_P(SimulatedModuleStatus, AnswersWithTheStatusOfTheProtocol)
{
    const StatusCase& c = GetParam();
    SimulatedModuleOptions options;
    options.protocolVersion = c.protocolVersion;
    CSimulatedModule module(options);
    if (c.inCommandMode) {
        ASSERT_TRUE(SendToModule(module, kEnterCommandMode));
    }
    const SimulatedParameters before = module.Parameters();
    const bool reportingBefore = module.ReportingOn();
    const auto reply = SendToModule(module, c.word, c.payload);
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->word, c.word | kReplyFlag);
    EXPECT_EQ(StatusOf(*reply), c.expectedStatus);
    if (c.expectedStatus != kSuccess) {
        // A refused command changes nothing.
        EXPECT_EQ(module.Parameters().Encode(), before.Encode());
        EXPECT_EQ(module.ReportingOn(), reportingBefore);
        EXPECT_EQ(module.InCommandMode(), c.inCommandMode);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Commands, SimulatedModuleStatus,
    testing::Values(
        StatusCase{"enter_outside", false, kEnterCommandMode, {}, kSuccess},
        StatusCase{"enter_again", true, kEnterCommandMode, {}, kSuccess},
        StatusCase{"unknown_command", true, 0x1234, {}, kUnknownCommand},
        StatusCase{"set_with_7_bytes", true, kSetParameters, {0, 0, 1, 0, 0, 0, 9}, kBadLength},
        StatusCase{"set_with_id_17", true, kSetParameters, SetPayload({{17, -3}}), kSuccess},
        StatusCase{"set_with_id_18", true, kSetParameters, SetPayload({{18, 100}}), kBadParameterId},
        StatusCase{"set_good_and_bad_id", true, kSetParameters, SetPayload({{0, 100}, {9, 3}, {18, 1}}),
                   kBadParameterId},
        StatusCase{"version_1_set_with_id_5", true, kSetParameters, SetPayload({{0, 100}, {5, 100}}),
                   kBadParameterId, 1},
        StatusCase{"version_1_set_with_id_4", true, kSetParameters, SetPayload({{4, 100}}), kSuccess, 1},
        StatusCase{"version_outside", false, kReadVersion, {}, kNotInCommandMode},
        StatusCase{"leave_outside", false, kLeaveCommandMode, {}, kNotInCommandMode},
        StatusCase{"reporting_off_outside", false, kReportingOff, {}, kNotInCommandMode},
        StatusCase{"set_outside", false, kSetParameters, SetPayload({{0, 100}}), kNotInCommandMode},
        StatusCase{"unknown_outside", false, 0x1234, {}, kNotInCommandMode}),
    [](const testing::TestParamInfo<StatusCase>& info) { return std::string(info.param.name); });

TEST(SimulatedModule, EnterAnswersItsProtocolVersion)
{
    for (const int version : {1, 2}) {
        SimulatedModuleOptions options;
        options.protocolVersion = version;
        CSimulatedModule module(options);
        const auto reply = SendToModule(module, kEnterCommandMode);
        ASSERT_TRUE(reply);
        ASSERT_EQ(reply->payload.size(), 4u);
        EXPECT_EQ(ReadU16(&reply->payload[2]), version);
    }
}

TEST(SimulatedModule, ReportsOnlyOutsideCommandModeAndWhileReportingIsOn)
{
    CSimulatedModule module;  // 50 ms interval
    EXPECT_EQ(FindReportFrames(RunFor(module, 0, 1000)).size(), 20u);

    SendToModule(module, kEnterCommandMode);
    EXPECT_TRUE(RunFor(module, 1010, 2000).empty());
    SendToModule(module, kLeaveCommandMode);
    EXPECT_EQ(FindReportFrames(RunFor(module, 2010, 3000)).size(), 20u);

    SendToModule(module, kEnterCommandMode);
    SendToModule(module, kReportingOff);
    SendToModule(module, kLeaveCommandMode);
    EXPECT_TRUE(RunFor(module, 3010, 4000).empty());

    SendToModule(module, kEnterCommandMode);
    SendToModule(module, kReportingOn);
    SendToModule(module, kLeaveCommandMode);
    EXPECT_EQ(FindReportFrames(RunFor(module, 4010, 5000)).size(), 20u);
}

TEST(SimulatedModule, SetParametersAreReadBackInTheirReplyWidths)
{
    CSimulatedModule module;
    SendToModule(module, kEnterCommandMode);
    const auto set = SendToModule(module, kSetParameters,
                                  SetPayload({{0, 40000}, {1, 12}, {2, 300}, {3, -5}, {4, 7}}));
    ASSERT_TRUE(set);
    EXPECT_EQ(StatusOf(*set), kSuccess);

    const auto read = SendToModule(module, kReadParameters);
    ASSERT_TRUE(read);
    ASSERT_EQ(read->payload.size(), 52u);
    const std::uint8_t* r = read->payload.data();  // offsets of the 52-byte reply
    EXPECT_EQ(ReadU16(r + 0), 0);
    EXPECT_EQ(ReadU16(r + 2), 40000);
    EXPECT_EQ(ReadU16(r + 4), 12);
    EXPECT_EQ(ReadU16(r + 6), 300);
    EXPECT_EQ(ReadU16(r + 8), 65531);  // -5 stored as given, carried in 16 bits
    EXPECT_EQ(ReadU16(r + 10), 7);
    // Untouched fields keep their power-up defaults.
    EXPECT_EQ(ReadU32(r + 12), std::bit_cast<std::uint32_t>(40.0f));
    EXPECT_EQ(ReadU32(r + 24), std::bit_cast<std::uint32_t>(9.0f));
    EXPECT_EQ(r[28], 2);
    EXPECT_EQ(r[29], 8);
    EXPECT_EQ(r[30], 5);
    EXPECT_EQ(r[31], 10);
    EXPECT_EQ(ReadU32(r + 40), std::bit_cast<std::uint32_t>(0.85f));
    EXPECT_EQ(ReadU32(r + 44), std::bit_cast<std::uint32_t>(0.15f));
    EXPECT_EQ(ReadU32(r + 48), 0u);

    // The other 13: floats bit for bit (a NaN with a payload too), 8-bit fields modulo 256.
    const std::int32_t nanBits = 0x7FC01234;
    const auto all = SendToModule(module, kSetParameters,
                                  SetPayload({{5, std::bit_cast<std::int32_t>(-0.0f)}, {6, nanBits},
                                              {7, std::bit_cast<std::int32_t>(1e-40f)},
                                              {8, std::bit_cast<std::int32_t>(3.25f)}, {9, 300}, {10, -1},
                                              {11, 255}, {12, 256}, {13, std::bit_cast<std::int32_t>(0.1f)},
                                              {14, std::bit_cast<std::int32_t>(-7.5f)},
                                              {15, std::bit_cast<std::int32_t>(1e30f)},
                                              {16, std::bit_cast<std::int32_t>(0.15f)}, {17, -12}}));
    ASSERT_TRUE(all);
    EXPECT_EQ(StatusOf(*all), kSuccess);
    const auto again = SendToModule(module, kReadParameters);
    ASSERT_TRUE(again);
    const std::uint8_t* a = again->payload.data();
    EXPECT_EQ(ReadU16(a + 2), 40000) << "the basic five keep what they had";
    EXPECT_EQ(ReadU32(a + 12), 0x80000000u);
    EXPECT_EQ(ReadU32(a + 16), std::uint32_t(nanBits));
    EXPECT_EQ(ReadU32(a + 20), std::bit_cast<std::uint32_t>(1e-40f));
    EXPECT_EQ(ReadU32(a + 24), std::bit_cast<std::uint32_t>(3.25f));
    EXPECT_EQ(a[28], 44);
    EXPECT_EQ(a[29], 255);
    EXPECT_EQ(a[30], 255);
    EXPECT_EQ(a[31], 0);
    EXPECT_EQ(ReadU32(a + 32), std::bit_cast<std::uint32_t>(0.1f));
    EXPECT_EQ(ReadU32(a + 36), std::bit_cast<std::uint32_t>(-7.5f));
    EXPECT_EQ(ReadU32(a + 40), std::bit_cast<std::uint32_t>(1e30f));
    EXPECT_EQ(ReadU32(a + 44), std::bit_cast<std::uint32_t>(0.15f));
    EXPECT_EQ(ReadU32(a + 48), std::uint32_t(-12));
}

TEST(SimulatedModule, IgnoresFramesWithWrongCrcOrImpossibleLength)
{
    CSimulatedModule module;
    std::vector<std::uint8_t> request = EncodeCommandFrame(kEnterCommandMode, nullptr, 0, true);
    const std::vector<std::uint8_t> tooLong = {0xC5, 0x3A, 0x01, 0x04, 0xFF, 0x00};
    request.insert(request.end(), tooLong.begin(), tooLong.end());
    std::vector<std::uint8_t> out;
    module.ReceiveFromHost(request.data(), request.size(), out);
    EXPECT_TRUE(out.empty());
    EXPECT_FALSE(module.InCommandMode());
}

TEST(SimulatedModule, FaultOptions)
{
    SimulatedModuleOptions mute;
    mute.mute = true;
    CSimulatedModule muted(mute);
    EXPECT_FALSE(SendToModule(muted, kEnterCommandMode));
    EXPECT_FALSE(muted.InCommandMode());

    SimulatedModuleOptions corrupt;
    corrupt.badCrc = true;
    CSimulatedModule corrupting(corrupt);
    EXPECT_FALSE(SendToModule(corrupting, kEnterCommandMode)) << "a reply with a wrong CRC must not decode";
    EXPECT_TRUE(corrupting.InCommandMode()) << "the command itself was carried out";

    SimulatedModuleOptions limited;
    limited.frameLimit = 5;
    limited.version = "X9";
    CSimulatedModule module(limited);
    EXPECT_EQ(FindReportFrames(RunFor(module, 0, 2000)).size(), 5u);
    SendToModule(module, kEnterCommandMode);
    const auto version = SendToModule(module, kReadVersion);
    ASSERT_TRUE(version) << "commands are answered after the last frame";
    EXPECT_EQ(std::string(version->payload.begin() + 2, version->payload.end()), "X9");
}

TEST(SimulatedModule, IgnoredWritesAreAcknowledgedButNotStored)
{
    SimulatedModuleOptions options;
    options.ignoredParameterIds = {4, 9};
    CSimulatedModule module(options);
    SendToModule(module, kEnterCommandMode);
    const auto set = SendToModule(module, kSetParameters, SetPayload({{3, 55}, {4, 77}, {9, 6}}));
    ASSERT_TRUE(set);
    EXPECT_EQ(StatusOf(*set), kSuccess);
    EXPECT_EQ(module.Parameters().nMotionlessRangeMin, 55);
    EXPECT_EQ(module.Parameters().nOffTime, 20);
    EXPECT_EQ(module.Parameters().nMotionIIR, 2);
}

// The commands a host sends in one exchange of a verified write; which of them a fault hits.
struct CommandFaultCase {
    const char* name;
    CommandFault fault;
    // Per command of kFaultScript: 'n' answered at once, 'l' within 1000 ms, '-' not at all.
    const char* replies;
    bool setCarriedOut;  // the module holds nOffTime=99 at the end
};

const std::uint16_t kFaultScript[] = {kEnterCommandMode, kReadParameters, kSetParameters, kSetParameters,
                                      kReadParameters, kLeaveCommandMode};

class SimulatedModuleCommandFault : public testing::TestWithParam<CommandFaultCase> {};

TEST_P(SimulatedModuleCommandFault, HitsTheCommandsItMatches)
{
    const CommandFaultCase& c = GetParam();
    SimulatedModuleOptions options;
    options.commandFaults = {c.fault};
    CSimulatedModule module(options);
    std::string replies;
    std::int64_t sentAtMs = 0;
    for (const std::uint16_t word : kFaultScript) {
        const std::vector<std::uint8_t> payload = word == kSetParameters ? SetPayload({{4, 99}}) : std::vector<std::uint8_t>{};
        const std::vector<std::uint8_t> request = EncodeCommandFrame(word, payload.data(), payload.size());
        std::vector<std::uint8_t> out;
        module.ReceiveFromHost(request.data(), request.size(), sentAtMs, out);
        module.AdvanceTo(sentAtMs, out);
        std::vector<std::uint8_t> late;
        module.AdvanceTo(sentAtMs + 1000, late);
        sentAtMs += 2000;
        CCommandFrameScanner now;
        now.Append(out.data(), out.size());
        CCommandFrameScanner later;
        later.Append(late.data(), late.size());
        replies += now.Next() ? 'n' : later.Next() ? 'l' : '-';
    }
    EXPECT_EQ(replies, c.replies);
    EXPECT_EQ(module.Parameters().nOffTime == 99, c.setCarriedOut);
}

INSTANTIATE_TEST_SUITE_P(
    Faults, SimulatedModuleCommandFault,
    testing::Values(
        CommandFaultCase{"late_set_once", {CommandFaultKind::Late, kSetParameters, 500, 0, 1}, "nnlnnn", true},
        CommandFaultCase{"second_read_unanswered", {CommandFaultKind::Unanswered, kReadParameters, 0, 1, -1},
                         "nnnn-n", true},
        CommandFaultCase{"line_lost_from_the_third_command", {CommandFaultKind::Lost, CommandFault::kAnyCommand, 0, 2, 2},
                         "nn--nn", false},
        CommandFaultCase{"every_set_lost", {CommandFaultKind::Lost, kSetParameters, 0, 0, -1}, "nn--nn", false},
        CommandFaultCase{"leave_late", {CommandFaultKind::Late, kLeaveCommandMode, 900, 0, -1}, "nnnnnl", true}),
    [](const testing::TestParamInfo<CommandFaultCase>& info) { return std::string(info.param.name); });

TEST(SimulatedModule, GarbageAndBrokenTailsLeaveTheStoryIntact)
{
    SimulatedModuleOptions clean;
    clean.seed = 7;
    SimulatedModuleOptions faulty = clean;
    faulty.garbage = true;
    faulty.brokenTail = true;
    CSimulatedModule a(clean);
    CSimulatedModule b(faulty);
    const auto cleanFrames = FindReportFrames(RunFor(a, 0, 60000));
    const std::vector<std::uint8_t> faultyBytes = RunFor(b, 0, 60000);
    const auto faultyFrames = FindReportFrames(faultyBytes);

    EXPECT_GT(faultyBytes.size(), cleanFrames.size() * 7) << "garbage was added";
    EXPECT_LT(faultyFrames.size(), cleanFrames.size()) << "some tails were broken";
    EXPECT_GT(faultyFrames.size(), cleanFrames.size() * 8 / 10);
    // Every intact frame is one of the clean run's frames, in the same order.
    std::size_t at = 0;
    for (const ReportSample& frame : faultyFrames) {
        while (at < cleanFrames.size() && !(cleanFrames[at] == frame))
            ++at;
        ASSERT_LT(at, cleanFrames.size()) << "a frame the clean run never sent";
        ++at;
    }
}
