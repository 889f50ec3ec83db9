// appConfig.xml holding any bytes: the start-up read, LoadSettings, then SaveSettings,
// in a scratch folder (in memory where /dev/shm exists: every save syncs the file).
// Promises checked: a file that did not parse cleanly is kept byte for byte beside
// the repaired one; the saved file parses cleanly at the next start and gives back
// the saved values (integers exactly, reals to the six decimals written).
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "FuzzCheck.h"
#include "SettingsFile.h"

namespace {

namespace fs = std::filesystem;

fs::path g_folder;

void RemoveFolder()
{
    std::error_code ignored;
    fs::remove_all(g_folder, ignored);
}

void EmptyFolder()
{
    std::error_code ignored;
    for (const fs::directory_entry& entry : fs::directory_iterator(g_folder, ignored))
        fs::remove_all(entry.path(), ignored);
}

std::string ReadWholeFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool SameReal(float saved, float reread)
{
    if (std::isnan(saved))
        return std::isnan(reread);
    if (std::isinf(saved))
        return saved == reread;
    return std::fabs(double(saved) - double(reread)) <= 1e-6 * (1.0 + std::fabs(double(saved)));
}

// The record's fields by kind; DetectionParams promises 18 fields of 32 bits.
void CheckSameSettings(const ToolSettings& saved, const ToolSettings& reread)
{
    FUZZ_CHECK(saved.baudRate == reread.baudRate);
    FUZZ_CHECK(saved.reportTimeMS == reread.reportTimeMS);
    const DetectionParams& a = saved.params;
    const DetectionParams& b = reread.params;
    const std::int32_t ints[][2] = {
        {a.nMotionlessRangeMin, b.nMotionlessRangeMin}, {a.nMotionlessRangeMax, b.nMotionlessRangeMax},
        {a.nMotionRangeMin, b.nMotionRangeMin},         {a.nMotionRangeMax, b.nMotionRangeMax},
        {a.nOffTime, b.nOffTime},                       {a.nMotionIIR, b.nMotionIIR},
        {a.nMotionlessIIR, b.nMotionlessIIR},           {a.nMotionWindowRange, b.nMotionWindowRange},
        {a.nMotionlessWindowRange, b.nMotionlessWindowRange},
        {a.nDistanceCalibration, b.nDistanceCalibration},
    };
    for (const auto& pair : ints)
        FUZZ_CHECK(pair[0] == pair[1]);
    const float reals[][2] = {
        {a.fMotionNearEndCoef, b.fMotionNearEndCoef},         {a.fMotionFarEndCoef, b.fMotionFarEndCoef},
        {a.fMotionlessNearEndCoef, b.fMotionlessNearEndCoef}, {a.fMotionlessFarEndCoef, b.fMotionlessFarEndCoef},
        {a.fKalman1, b.fKalman1}, {a.fKalman2, b.fKalman2}, {a.fKalman3, b.fKalman3}, {a.fKalman4, b.fKalman4},
    };
    for (const auto& pair : reals)
        FUZZ_CHECK(SameReal(pair[0], pair[1]));
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    std::error_code error;
    const fs::path base = fs::is_directory("/dev/shm", error) ? fs::path("/dev/shm") : fs::temp_directory_path();
    std::string pattern = (base / "settings-fuzz-XXXXXX").string();
    FUZZ_CHECK(mkdtemp(pattern.data()) != nullptr);
    g_folder = pattern;
    std::atexit(RemoveFolder);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    EmptyFolder();
    const fs::path path = g_folder / "appConfig.xml";
    {
        std::ofstream out(path, std::ios::binary);
        out.write(reinterpret_cast<const char*>(data), std::streamsize(size));
        FUZZ_CHECK(out.good());
    }
    const std::string original(reinterpret_cast<const char*>(data), size);

    ToolSettings saved;
    {
        XMLParser document;
        CSettingsFile file(document, path.string());
        file.ReadAtStartup();
        const bool clean = document.WasLastLoadClean();
        saved.params.RestoreDefaults();
        file.LoadSettings(saved);
        file.SaveSettings(saved);
        // Nothing of an unreadable file may be lost by the repair.
        FUZZ_CHECK(clean == file.GetBackupPath().empty());
        if (!clean)
            FUZZ_CHECK(ReadWholeFile(file.GetBackupPath()) == original);
    }

    XMLParser document;
    CSettingsFile file(document, path.string());
    file.ReadAtStartup();
    FUZZ_CHECK(document.WasLastLoadClean());
    ToolSettings reread;
    file.LoadSettings(reread);
    CheckSameSettings(saved, reread);
    return 0;
}
