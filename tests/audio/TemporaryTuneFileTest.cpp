#include "audio/TemporaryTuneFile.h"
#include "AudioTestSupport.h"

#include <fstream>
#include <sstream>
#include <sys/stat.h>

using audio::TemporaryTuneFile;
using namespace audiotest;
namespace fs = std::filesystem;

namespace {

std::string contents(const fs::path& file) {
    std::ostringstream text;
    text << std::ifstream(file, std::ios::binary).rdbuf();
    return text.str();
}

TEST(TemporaryTuneFile, NeverWritesThroughAPlantedLinkAndTakesTheNextFreeNumber) {
    ScratchDir dir;
    const fs::path victim = dir.path / "victim";
    std::ofstream(victim) << "precious";
    // Someone else's link under the first name, a dangling one under the second, an earlier
    // run's file under the third.
    fs::create_symlink(victim, dir.path / "hearthly1.mid");
    fs::create_symlink(dir.path / "nowhere", dir.path / "hearthly2.mid");
    std::ofstream(dir.path / "hearthly3.mid") << "left behind";

    const std::uint8_t tune[] = {'M', 'T', 'h', 'd', 0, 1, 2, 3};
    std::string error;
    std::optional<TemporaryTuneFile> file = TemporaryTuneFile::create(tune, dir.path.string(), error);
    ASSERT_TRUE(file) << error;
    EXPECT_EQ(file->path(), (dir.path / "hearthly4.mid").string());
    EXPECT_EQ(contents(file->path()), std::string(std::begin(tune), std::end(tune)));
    EXPECT_EQ(contents(victim), "precious");
    EXPECT_FALSE(fs::exists(dir.path / "nowhere"));
    struct stat info {};
    ASSERT_EQ(::lstat(file->path().c_str(), &info), 0);
    EXPECT_TRUE(S_ISREG(info.st_mode));
    EXPECT_EQ(info.st_mode & 0777, 0600u);

    const std::string path = file->path();
    file.reset();
    EXPECT_FALSE(fs::exists(path));
    EXPECT_TRUE(fs::is_symlink(dir.path / "hearthly1.mid"));
    EXPECT_EQ(contents(dir.path / "hearthly3.mid"), "left behind");
}

TEST(TemporaryTuneFile, DirectoryIsTmpIfItIsOneThenTmpdirThenSlashTmp) {
    const SavedVariable tmp("TMP"), tmpdir("TMPDIR");
    ScratchDir dir;
    const std::string a = dir.path.string();
    const std::string file = (dir.path / "plain").string();
    std::ofstream(file) << "x";
    struct Case {
        const char* tmp; // nullptr: unset
        const char* tmpdir;
        std::string expected;
    };
    const Case cases[] = {
        {a.c_str(), "/", a},        {file.c_str(), a.c_str(), a},         {"", a.c_str(), a},
        {nullptr, nullptr, "/tmp"}, {file.c_str(), file.c_str(), "/tmp"},
    };
    for (const Case& c : cases) {
        for (auto [name, value] : {std::pair{"TMP", c.tmp}, std::pair{"TMPDIR", c.tmpdir}}) {
            if (value)
                ::setenv(name, value, 1);
            else
                ::unsetenv(name);
        }
        EXPECT_EQ(audio::temporaryDirectory(), c.expected) << (c.tmp ? c.tmp : "(unset)");
    }
}

} // namespace
