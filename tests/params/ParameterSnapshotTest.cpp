// Snapshot files: the text round trip, every kind of bad snapshot, saving without losing
// an earlier file, backups that never overwrite, and the field-by-field diff.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <random>
#include <regex>

#include "ParameterDiff.h"
#include "ParameterSnapshot.h"
#include "ParameterTable.h"
#include "ScratchFolder.h"
#include "SnapshotFile.h"

using namespace ModuleParams;

namespace {

ParameterSnapshot Sample()
{
    ParameterSnapshot s;
    s.savedUtc = "2026-12-10T11:53:21.123Z";
    s.firmware = "1.0.0-sim";
    s.port = "/dev/pts/7";
    s.identity = "usb:1a86:7523:\"A1\"";
    s.toolVersion = "1.0.0";
    s.parameters = DetectionParams::Defaults();
    s.parameters.nMotionRangeMax = 65535;
    s.parameters.nMotionWindowRange = 255;
    s.parameters.nDistanceCalibration = -2147483647 - 1;
    s.parameters.fMotionNearEndCoef = -0.0f;
    s.parameters.fMotionFarEndCoef = 1e-45f;  // the smallest denormal
    s.parameters.fKalman1 = std::numeric_limits<float>::quiet_NaN();
    s.parameters.fKalman2 = -INFINITY;
    return s;
}

bool SameBits(const DetectionParams& a, const DetectionParams& b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// The sample's text with one piece replaced.
std::string SampleWith(const std::string& from, const std::string& to)
{
    std::string text = FormatSnapshot(Sample());
    const std::size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    return at == std::string::npos ? text : text.replace(at, from.size(), to);
}

}  // namespace

TEST(ParameterSnapshot, TextIsOneMemberALineAndReadsBackBitForBit)
{
    const std::string text = FormatSnapshot(Sample());
    EXPECT_EQ(text.rfind("{\n  \"format\": \"tivane-parameter-snapshot\",\n  \"version\": 1,\n  \"saved_utc\": ", 0), 0u);
    EXPECT_NE(text.find("\n    \"fMotionNearEndCoef\": -0,\n"), std::string::npos) << "a negative zero keeps its sign";
    EXPECT_NE(text.find("\n  \"parameters\": {\n    \"nMotionlessRangeMin\": 30,\n    \"nMotionlessRangeMax\": 425,\n"),
              std::string::npos);
    EXPECT_NE(text.find("\n    \"fKalman3\": 0.85,\n"), std::string::npos);
    EXPECT_NE(text.find("\n    \"nDistanceCalibration\": -2147483648\n  }\n}\n"), std::string::npos);
    ParameterSnapshot back;
    std::string error;
    ASSERT_TRUE(ParseSnapshot(text, back, error)) << error;
    EXPECT_TRUE(SameBits(back.parameters, Sample().parameters));
    EXPECT_EQ(back.identity, Sample().identity);
    EXPECT_EQ(back.savedUtc, Sample().savedUtc);
    EXPECT_EQ(back.firmware, "1.0.0-sim");

    std::mt19937 random(3);
    for (int round = 0; round < 2000; ++round) {
        ParameterSnapshot s = Sample();
        for (const ParameterInfo& field : Table()) {
            std::int32_t raw = std::int32_t(random());
            if (field.kind == ParameterKind::F32 && !std::isfinite(std::bit_cast<float>(raw)))
                raw = 0;
            WriteRaw(s.parameters, field, field.kind == ParameterKind::F32 || field.kind == ParameterKind::I32
                                              ? raw
                                              : std::int32_t(std::uint32_t(raw) % std::uint32_t(field.max + 1)));
        }
        ASSERT_TRUE(ParseSnapshot(FormatSnapshot(s), back, error)) << error;
        ASSERT_TRUE(SameBits(back.parameters, s.parameters)) << FormatSnapshot(s);
    }
}

struct BadSnapshot {
    const char* name;
    std::string text;
    const char* error;  // expected in the message
};

TEST(ParameterSnapshot, EachKindOfBadSnapshotIsRefusedNamingWhatIsWrong)
{
    const std::string full = FormatSnapshot(Sample());
    const BadSnapshot cases[] = {
        {"not JSON", "saved by hand\n", "not a parameter snapshot: the line is not a JSON object at line 1, column 1"},
        {"cut short", FormatSnapshot(Sample()).substr(0, 300), "not a parameter snapshot: "},
        {"syntax error on line 4", SampleWith("\"saved_utc\":", "\"saved_utc\""), "expected ':' at line 4, column 15"},
        {"some other JSON", "{\"t\":0,\"o\":0,\"n\":7}", "not a parameter snapshot (it lacks \"format\""},
        {"another format", SampleWith("tivane-parameter-snapshot", "tivane-capture-index"), "not a parameter snapshot"},
        {"a later version", SampleWith("\"version\": 1", "\"version\": 2"), "snapshot version 2 is not one this tool reads"},
        {"version as text", SampleWith("\"version\": 1", "\"version\": \"1\""), "\"version\" is not a whole number"},
        {"unknown member", SampleWith("\"port\"", "\"baud\": 256000,\n  \"port\""), "unknown member \"baud\""},
        {"missing member", SampleWith("  \"firmware\": \"1.0.0-sim\",\n", ""), "\"firmware\" is missing"},
        {"member of the wrong type", SampleWith("\"1.0.0-sim\"", "100"), "\"firmware\" is not a string"},
        {"not a UTC time", SampleWith("2026-12-10T11:53:21.123Z", "yesterday"), "\"saved_utc\" is not a UTC time"},
        {"unknown top-level member", SampleWith("\"tool_version\": \"1.0.0\"", "\"tool_version\": \"1.0.0\", \"x\": 1"),
         "unknown member \"x\""},
        {"parameters not an object", full.substr(0, full.find("\"parameters\"")) + "\"parameters\": 5\n}\n",
         "\"parameters\" is not an object"},
        {"no parameters", full.substr(0, full.find(",\n  \"parameters\"")) + "\n}\n", "\"parameters\" is missing"},
        {"unknown parameter", SampleWith("\"nOffTime\"", "\"nSpeed\": 3,\n    \"nOffTime\""), "unknown parameter \"nSpeed\""},
        {"missing parameter", SampleWith("    \"fKalman4\": 0.15,\n", ""), "parameter fKalman4 is missing"},
        {"integer field with a fraction", SampleWith("\"nOffTime\": 20", "\"nOffTime\": 20.5"),
         "parameter nOffTime is not a whole number"},
        {"integer field as text", SampleWith("\"nOffTime\": 20", "\"nOffTime\": \"20\""),
         "parameter nOffTime is not a whole number"},
        {"16-bit field out of range", SampleWith("\"nOffTime\": 20", "\"nOffTime\": 65536"),
         "parameter nOffTime: 65536 is outside 0 to 65535"},
        {"negative 16-bit field", SampleWith("\"nMotionRangeMin\": 30", "\"nMotionRangeMin\": -5"),
         "parameter nMotionRangeMin: -5 is outside 0 to 65535"},
        {"8-bit field out of range", SampleWith("\"nMotionIIR\": 2", "\"nMotionIIR\": 256"),
         "parameter nMotionIIR: 256 is outside 0 to 255"},
        {"32-bit field out of range", SampleWith("-2147483648", "-2147483649"),
         "parameter nDistanceCalibration: -2147483649 is outside"},
        {"float as a word", SampleWith("\"fKalman3\": 0.85", "\"fKalman3\": \"high\""),
         "parameter fKalman3 is not a number (\"high\")"},
        {"float beyond 32 bits", SampleWith("\"fKalman3\": 0.85", "\"fKalman3\": 1e39"),
         "parameter fKalman3 is beyond what a 32-bit float holds"},
        {"float as true", SampleWith("\"fKalman3\": 0.85", "\"fKalman3\": true"), "parameter fKalman3 is not a number"},
        {"array", SampleWith("\"fKalman3\": 0.85", "\"fKalman3\": [0.85]"), "arrays are not accepted"},
        {"duplicate parameter", SampleWith("\"nOffTime\": 20", "\"nOffTime\": 20, \"nOffTime\": 21"), "duplicate key"},
    };
    for (const BadSnapshot& c : cases) {
        SCOPED_TRACE(c.name);
        ParameterSnapshot untouched;
        untouched.firmware = "kept";
        std::string error;
        EXPECT_FALSE(ParseSnapshot(c.text, untouched, error));
        EXPECT_NE(error.find(c.error), std::string::npos) << error;
        EXPECT_EQ(untouched.firmware, "kept") << "nothing loaded";
    }
}

TEST(SnapshotFile, LoadNamesTheFileAndRefusesWhatIsNotASnapshotFile)
{
    ScratchFolder folder;
    WriteWholeFile(folder.File("empty.json"), "");
    WriteWholeFile(folder.File("huge.json"), std::string(100 * 1024, ' '));
    WriteWholeFile(folder.File("bad.json"), SampleWith("\"nOffTime\": 20", "\"nOffTime\": 1e3"));
    std::filesystem::create_directory(folder.File("folder.json"));
    ASSERT_EQ(::mkfifo(folder.File("fifo.json").c_str(), 0644), 0);  // an open would wait for a writer
    const std::pair<const char*, const char*> cases[] = {
        {"fifo.json", "fifo.json is not a file (a FIFO)"},
        {"missing.json", "missing.json: No such file or directory"},
        {"empty.json", "empty.json is empty"},
        {"huge.json", "huge.json is too large to be a parameter snapshot"},
        {"folder.json", "folder.json is not a file"},
        {"bad.json", "bad.json: parameter nOffTime is not a whole number"},
    };
    for (const auto& [name, expected] : cases) {
        SCOPED_TRACE(name);
        ParameterSnapshot snapshot;
        std::string error;
        EXPECT_FALSE(LoadSnapshotFile(folder.File(name), snapshot, error));
        EXPECT_NE(error.find(expected), std::string::npos) << error;
    }
}

TEST(SnapshotFile, SaveNeverLosesAnEarlierFileOrWritesOneThatWouldNotLoad)
{
    ScratchFolder folder;
    const std::string path = folder.File("module.json");
    std::string error;
    ASSERT_TRUE(SaveSnapshotFile(path, Sample(), false, error)) << error;
    ParameterSnapshot loaded;
    ASSERT_TRUE(LoadSnapshotFile(path, loaded, error)) << error;
    EXPECT_TRUE(SameBits(loaded.parameters, Sample().parameters));
    EXPECT_EQ(std::filesystem::status(path).permissions() & std::filesystem::perms::others_read,
              std::filesystem::perms::others_read);

    ParameterSnapshot other = Sample();
    other.parameters.nOffTime = 99;
    EXPECT_FALSE(SaveSnapshotFile(path, other, false, error));
    EXPECT_NE(error.find("module.json already exists"), std::string::npos) << error;
    EXPECT_EQ(ReadWholeFile(path), FormatSnapshot(Sample())) << "the earlier file is intact";
    ASSERT_TRUE(SaveSnapshotFile(path, other, true, error)) << error;
    EXPECT_EQ(ReadWholeFile(path), FormatSnapshot(other));

    other.parameters.nOffTime = -5;  // a record the module never gives
    EXPECT_FALSE(SaveSnapshotFile(folder.File("odd.json"), other, false, error));
    EXPECT_NE(error.find("nOffTime: -5 does not fit the field (0 to 65535)"), std::string::npos) << error;
    EXPECT_FALSE(SaveSnapshotFile(folder.File("none/module.json"), Sample(), false, error));
    EXPECT_NE(error.find("none"), std::string::npos) << error;
    // Only the two snapshots: no temporary file is left behind by any of the failures.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()), {}), 1);
}

TEST(SnapshotFile, BackupsAreDatedAndNeverOverwriteEachOther)
{
    ScratchFolder folder;
    const std::string log = folder.File("Log");  // made on first use
    std::vector<std::string> paths;
    for (int i = 0; i < 3; ++i) {
        ParameterSnapshot s = Sample();
        s.parameters.nOffTime = i;
        std::string path;
        std::string error;
        ASSERT_TRUE(SaveBackupSnapshot(log, s, path, error)) << error;
        paths.push_back(path);
        ParameterSnapshot loaded;
        ASSERT_TRUE(LoadSnapshotFile(path, loaded, error)) << error;
        EXPECT_EQ(loaded.parameters.nOffTime, i) << "each backup keeps its own values";
    }
    const std::regex name(R"(.*/Log/TivanePeloTOOL_params_\d{8}_\d{6}_\d{3}(_\d+)?\.json)");
    for (const std::string& path : paths)
        EXPECT_TRUE(std::regex_match(path, name)) << path;
    EXPECT_NE(paths[0], paths[1]);
    EXPECT_NE(paths[1], paths[2]);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(log), {}), 3);
}

TEST(ParameterDiff, ListsTheFieldsThatDifferInRecordOrderBitForBit)
{
    DetectionParams a = DetectionParams::Defaults();
    DetectionParams b = a;
    EXPECT_TRUE(DiffParameters(a, b).empty());
    a.fKalman1 = b.fKalman1 = std::numeric_limits<float>::quiet_NaN();
    EXPECT_TRUE(DiffParameters(a, b).empty()) << "the same NaN bits are no difference";
    b.nDistanceCalibration = 7;
    b.nMotionlessRangeMin = 31;
    b.fMotionFarEndCoef = 6.0000005f;
    a.fKalman4 = 0.0f;
    b.fKalman4 = -0.0f;
    const std::vector<FieldDifference> diff = DiffParameters(a, b);
    ASSERT_EQ(diff.size(), 4u);
    EXPECT_STREQ(diff[0].field->name, "nMotionlessRangeMin");
    EXPECT_EQ(diff[0].left, 30);
    EXPECT_EQ(diff[0].right, 31);
    EXPECT_STREQ(diff[1].field->name, "fMotionFarEndCoef");
    EXPECT_STREQ(diff[2].field->name, "fKalman4");
    EXPECT_STREQ(diff[3].field->name, "nDistanceCalibration");
}
