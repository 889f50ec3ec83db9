#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <regex>
#include <string>
#include <thread>

#include "FileUtils.h"
#include "RegularFile.h"
#include "WriteAside.h"

namespace {

namespace fs = std::filesystem;

std::string Narrow(const char16_t* s)
{
    std::string out;
    for (; *s; ++s)
        out += char(*s);  // the tests use ASCII here
    return out;
}

// A fresh folder per test, removed afterwards.
class FileUtilsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        dir = fs::temp_directory_path() / ("vetra_common_" + std::to_string(getpid()) + "_" + info->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }
    fs::path dir;
};

TEST(GetFileNameByDate, LocalTimeWithMillisecondsAsTheRawFileUses)
{
    char name[260];
    const std::time_t before = std::time(nullptr);
    ASSERT_EQ(GetFileNameByDateA(name, ".dat", "TivanePeloTOOL_", "", 0, 1, 0), name);
    // time() reads the kernel's coarse clock, which may still show the previous second
    // when the precise clock the name is made from has moved on: allow one second.
    const std::time_t after = std::time(nullptr) + 1;
    std::cmatch m;
    ASSERT_TRUE(std::regex_match(name, m, std::regex(R"(TivanePeloTOOL_(\d{8}_\d{6})_\d{3}\.dat)"))) << name;
    // The date text is the local time of the call.
    char low[32], high[32];
    std::tm t{};
    localtime_r(&before, &t);
    std::strftime(low, sizeof low, "%Y%m%d_%H%M%S", &t);
    localtime_r(&after, &t);
    std::strftime(high, sizeof high, "%Y%m%d_%H%M%S", &t);
    EXPECT_GE(m[1].str(), std::string(low));
    EXPECT_LE(m[1].str(), std::string(high));
}

TEST(GetFileNameByDate, FormatsWithoutMillisecondsSuffixAndExtension)
{
    char name[260];
    ASSERT_NE(GetFileNameByDateA(name, "png", "Temp_", "", 0, 0, 0), nullptr);
    EXPECT_TRUE(std::regex_match(name, std::regex(R"(Temp_\d{8}_\d{6}\.png)"))) << name;
    ASSERT_NE(GetFileNameByDateA(name, "", "p", "_s", 0, 0, 0), nullptr);
    EXPECT_TRUE(std::regex_match(name, std::regex(R"(p\d{8}_\d{6}_s)"))) << name;
    ASSERT_NE(GetFileNameByDateA(name, nullptr, nullptr, nullptr, 1, 1, 0), nullptr);
    EXPECT_TRUE(std::regex_match(name, std::regex(R"(\d{8}_\d{6}_\d{3})"))) << name;
}

TEST(GetFileNameByDate, UtcUsesUniversalTime)
{
    char name[260];
    const std::time_t now = std::time(nullptr);
    ASSERT_NE(GetFileNameByDateA(name, "log", "", "", 1, 0, 0), nullptr);
    std::tm t{};
    gmtime_r(&now, &t);
    char day[16];
    std::strftime(day, sizeof day, "%Y%m%d", &t);
    EXPECT_EQ(std::string(name).substr(0, 8), day);  // equal unless midnight passed just now
}

TEST(GetFileNameByDate, LaterNamesSortLater)
{
    char first[260], second[260];
    ASSERT_NE(GetFileNameByDateA(first, ".dat", "T_", "", 0, 1, 0), nullptr);
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
    ASSERT_NE(GetFileNameByDateA(second, ".dat", "T_", "", 0, 1, 0), nullptr);
    EXPECT_LT(std::strcmp(first, second), 0);
}

TEST(GetFileNameByDate, NeverWritesPastOutSize)
{
    char buffer[64];
    std::memset(buffer, '#', sizeof buffer);
    // "TivanePeloTOOL_" (15) + date with ms (19) + ".dat" (4) = 38 characters + terminator.
    EXPECT_EQ(GetFileNameByDateA(buffer, ".dat", "TivanePeloTOOL_", "", 0, 1, 0, 38), nullptr);
    EXPECT_EQ(buffer[0], '\0');
    for (std::size_t i = 38; i < sizeof buffer; ++i)
        ASSERT_EQ(buffer[i], '#') << i;
    EXPECT_EQ(GetFileNameByDateA(buffer, ".dat", "TivanePeloTOOL_", "", 0, 1, 0, 39), buffer);
    EXPECT_EQ(std::strlen(buffer), 38u);
    EXPECT_EQ(buffer[40], '#');
    EXPECT_EQ(GetFileNameByDateA(nullptr, ".dat", "x", "", 0, 1, 0), nullptr);
}

TEST(GetFileNameByDate, WideVariantMatchesNarrowFormat)
{
    char16_t name[260];
    ASSERT_EQ(GetFileNameByDateW(name, u"png", u"Temp_", u"", 0, 0, 0), name);
    EXPECT_TRUE(std::regex_match(Narrow(name), std::regex(R"(Temp_\d{8}_\d{6}\.png)"))) << Narrow(name);
    char16_t small[10];
    for (auto& c : small)
        c = u'#';
    EXPECT_EQ(GetFileNameByDateW(small, u"png", u"Temp_", u"", 0, 0, 0, 8), nullptr);
    EXPECT_EQ(small[0], u'\0');
    EXPECT_EQ(small[8], u'#');
}

TEST(GetProgramPathA, GivesTheExecutablesFolder)
{
    const std::string expected = fs::read_symlink("/proc/self/exe").parent_path().string();
    char path[kVetraMaxPath];
    ASSERT_NE(GetProgramPathA(0, path), 0);
    EXPECT_EQ(std::string(path), expected);
    ASSERT_NE(GetProgramPathA(int(getpid()), path), 0);
    EXPECT_EQ(std::string(path), expected);
    EXPECT_NE(path[std::strlen(path) - 1], '/');

    char tiny[4] = "xyz";
    EXPECT_EQ(GetProgramPathA(0, tiny, sizeof tiny), 0);
    EXPECT_STREQ(tiny, "");
    EXPECT_EQ(GetProgramPathA(0x7ffffff0, path), 0);  // no such process
    EXPECT_STREQ(path, "");
}

TEST(CombinePathNameA, JoinsWithExactlyOneSlash)
{
    struct Case {
        const char* folder;
        const char* name;
        const char* expected;
    };
    const Case cases[] = {
        {"/opt/tool", "Log", "/opt/tool/Log"},
        {"/opt/tool/", "Log", "/opt/tool/Log"},
        {"/opt/tool//", "/Log", "/opt/tool/Log"},
        {"/", "appConfig.xml", "/appConfig.xml"},
        {"", "appConfig.xml", "appConfig.xml"},
        {"/opt", "", "/opt"},
        {"rel", "a/b.dat", "rel/a/b.dat"},
    };
    for (const Case& c : cases) {
        char out[kVetraMaxPath];
        ASSERT_EQ(CombinePathNameA(out, c.folder, c.name), out);
        EXPECT_STREQ(out, c.expected) << c.folder << " + " << c.name;
    }
}

TEST(CombinePathNameA, OutMayBeTheNameOrTheFolder)
{
    char buffer[kVetraMaxPath] = "TivanePeloTOOL_20240101_000000_000.dat";
    ASSERT_NE(CombinePathNameA(buffer, "/var/log/Log", buffer), nullptr);
    EXPECT_STREQ(buffer, "/var/log/Log/TivanePeloTOOL_20240101_000000_000.dat");
    char folder[kVetraMaxPath] = "/opt/tool";
    ASSERT_NE(CombinePathNameA(folder, folder, "Log"), nullptr);
    EXPECT_STREQ(folder, "/opt/tool/Log");
}

TEST(CombinePathNameA, RefusesWhatDoesNotFit)
{
    char out[8];
    std::memset(out, '#', sizeof out);
    EXPECT_EQ(CombinePathNameA(out, "/abc", "def", 8), nullptr);  // "/abc/def" needs 9
    EXPECT_EQ(out[0], '\0');
    EXPECT_EQ(out[1], '#');
    EXPECT_EQ(CombinePathNameA(out, "/ab", "def", 8), out);
    EXPECT_STREQ(out, "/ab/def");
}

TEST_F(FileUtilsTest, RecursiveCreateDirectoryMakesParents)
{
    const fs::path deep = dir / "a" / "b" / "c";
    EXPECT_NE(RecursiveCreateDirectoryA(deep.c_str()), 0);
    EXPECT_TRUE(fs::is_directory(deep));
    EXPECT_NE(RecursiveCreateDirectoryA(deep.c_str()), 0);  // exists already
    const fs::path file = dir / "plain";
    std::ofstream(file) << "x";
    EXPECT_EQ(RecursiveCreateDirectoryA(file.c_str()), 0);
    EXPECT_EQ(RecursiveCreateDirectoryA((file / "sub").c_str()), 0);
    EXPECT_EQ(RecursiveCreateDirectoryA(""), 0);
}

TEST_F(FileUtilsTest, ReadFileDataGivesAWholeCopyWithATerminator)
{
    const fs::path file = dir / "data.bin";
    const std::string content("ab\0cd\xff", 6);
    std::ofstream(file, std::ios::binary) << content;
    std::size_t size = 99;
    std::uint8_t* data = ReadFileDataA(file.c_str(), &size);
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(size, 6u);
    EXPECT_EQ(std::memcmp(data, content.data(), 6), 0);
    EXPECT_EQ(data[6], 0);
    ReleaseFileData(data);

    const fs::path empty = dir / "empty";
    std::ofstream(empty).close();
    data = ReadFileDataA(empty.c_str(), &size);
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(size, 0u);
    ReleaseFileData(data);

    EXPECT_EQ(ReadFileDataA((dir / "missing").c_str(), &size), nullptr);
    EXPECT_EQ(size, 0u);
    EXPECT_EQ(ReadFileDataA(dir.c_str(), &size), nullptr);
    ReleaseFileData(nullptr);
}

// Each kind of thing that can stand where a file is to be written whole. The test runs
// as root: a rename over /dev/null would really replace it, so /dev/null is reached
// only through a link in the test's own folder, and the link is what a fault replaces.
TEST_F(FileUtilsTest, WriteAsideReplacesOnlyRegularFilesAndCreatesMissingOnes)
{
    const fs::path kept = dir / "kept.txt";
    std::ofstream(kept) << "kept";
    struct Target {
        const char* name;
        std::function<void(const fs::path&)> make;
        AsideResult expected;
        const char* error;  // expected in the error
    };
    const Target targets[] = {
        {"regular", [](const fs::path& p) { std::ofstream(p) << "old"; }, AsideResult::Written, ""},
        {"missing", [](const fs::path&) {}, AsideResult::Written, ""},
        {"fifo", [](const fs::path& p) { ASSERT_EQ(::mkfifo(p.c_str(), 0644), 0); }, AsideResult::Refused,
         "is a FIFO, not a regular file"},
        {"link to a file", [&](const fs::path& p) { fs::create_symlink(kept, p); }, AsideResult::Refused,
         "is a symbolic link"},
        {"link to devnull", [](const fs::path& p) { fs::create_symlink("/dev/null", p); }, AsideResult::Refused,
         "is a symbolic link"},
        {"folder", [](const fs::path& p) { fs::create_directory(p); }, AsideResult::Refused, "is a directory"},
    };
    for (const Target& target : targets) {
        SCOPED_TRACE(target.name);
        const fs::path path = dir / target.name;
        target.make(path);
        const fs::file_type before = fs::symlink_status(path).type();
        std::string error;
        EXPECT_EQ(WriteTextAside(path.string(), "new", AsideMode::Replace, error), target.expected) << error;
        EXPECT_NE(error.find(target.error), std::string::npos) << error;
        if (target.expected == AsideResult::Written) {
            std::ifstream in(path);
            EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "new");
        } else {
            EXPECT_EQ(fs::symlink_status(path).type(), before) << "left as it was";
        }
    }
    std::ifstream in(kept);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "kept") << "nothing written through the link";
    EXPECT_EQ(fs::symlink_status("/dev/null").type(), fs::file_type::character);
    // Only what the table made: no file beside any of them is left behind.
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), {}), 7);
}

TEST_F(FileUtilsTest, WriteAsideKeepsTheModeOfTheFileItReplacesAndNeverATakenNameWhenAsked)
{
    const fs::path path = dir / "mode.txt";
    std::ofstream(path) << "old";
    fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write);
    std::string error;
    ASSERT_EQ(WriteTextAside(path.string(), "new", AsideMode::Replace, error), AsideResult::Written) << error;
    EXPECT_EQ(fs::status(path).permissions(), fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(WriteTextAside(path.string(), "newer", AsideMode::OnlyIfFree, error), AsideResult::Taken);
    std::ifstream in(path);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "new");
    // A fill that fails leaves the old file and nothing beside it.
    const auto failing = [](const std::string&, std::string& why) {
        why = "no room";
        return false;
    };
    EXPECT_EQ(WriteFileAside(path.string(), failing, AsideMode::Replace, error), AsideResult::Failed);
    EXPECT_EQ(error, "no room");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), {}), 1);
}

// A reader must answer at once for what is not a regular file: an open of a FIFO
// waits for a writer, a read of a device may never end.
TEST_F(FileUtilsTest, ReadersOpenRegularFilesOnlyAndNeverWaitOnAFifo)
{
    const fs::path fifo = dir / "fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    const fs::path file = dir / "file";
    std::ofstream(file) << "x";
    fs::create_symlink(file, dir / "link");
    const std::pair<fs::path, const char*> cases[] = {
        {fifo, "not a regular file (a FIFO)"},
        {"/dev/null", "not a regular file (a character device)"},
        {dir, "Is a directory"},
        {dir / "missing", "No such file or directory"},
        {file, ""},
        {dir / "link", ""},
    };
    for (const auto& [path, reason] : cases) {
        SCOPED_TRACE(path.string());
        const RegularFileOpen opened = OpenRegularFileForReading(path.string());
        EXPECT_EQ(opened.reason, reason);
        EXPECT_EQ(opened.Opened(), !*reason);
        if (opened.Opened()) {
            char byte = 0;
            EXPECT_EQ(::read(opened.fd, &byte, 1), 1) << "reads block again once opened";
            ::close(opened.fd);
        }
    }
    std::size_t size = 99;
    EXPECT_EQ(ReadFileDataA(fifo.c_str(), &size), nullptr);
    EXPECT_EQ(ReadFileDataA("/dev/zero", &size), nullptr) << "a device that never ends is not read";
}

TEST_F(FileUtilsTest, IsFileExistOnlyForRegularFiles)
{
    const fs::path file = dir / u8"测试.txt";
    std::ofstream(file) << "x";
    const std::u16string wide = file.u16string();
    EXPECT_NE(IsFileExistW(wide.c_str()), 0);
    EXPECT_EQ(IsFileExistW(dir.u16string().c_str()), 0);
    EXPECT_EQ(IsFileExistW((dir / "missing").u16string().c_str()), 0);
    EXPECT_EQ(IsFileExistW(nullptr), 0);
}

TEST(GetFileVersionW, GivesTheBuildVersion)
{
    char16_t out[260];
    ASSERT_NE(GetFileVersionW(nullptr, out, 260), 0);
    EXPECT_EQ(Narrow(out), std::string(TIVANE_VERSION));
    char16_t small[3];
    EXPECT_EQ(GetFileVersionW(nullptr, small, 3), 0);
    EXPECT_EQ(small[2], u'\0');
}

TEST(GetFileExtName, TakesTheLastElementsExtension)
{
    struct Case {
        const char* name;
        const char* ext;
    };
    const Case cases[] = {
        {"picture.PNG", "PNG"}, {"/a/b.c/file.jpeg", "jpeg"}, {"archive.tar.gz", "gz"},
        {"noext", ""},          {"dir.d/noext", ""},          {".profile", ""},
        {"trailing.", ""},      {"", ""},
    };
    for (const Case& c : cases) {
        char out[260] = "junk";
        EXPECT_STREQ(GetFileExtNameA(c.name, out, 260), c.ext) << c.name;
        char16_t wide[260];
        std::u16string wname;
        for (const char* p = c.name; *p; ++p)
            wname += char16_t(*p);
        EXPECT_EQ(Narrow(GetFileExtNameW(wname.c_str(), wide, 260)), c.ext) << c.name;
    }
    char small[3];
    EXPECT_STREQ(GetFileExtNameA("x.jpeg", small, 3), "jp");
}

}  // namespace
