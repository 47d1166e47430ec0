#include "game/BestTimes.h"

#include "core/KeptFile.h"
#include "core/Translate.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace game {

namespace {

using nlohmann::json;

constexpr int kVersion = 1;

std::string utcNow() {
    const std::time_t t = std::time(nullptr);
    std::tm tm{};
    gmtime_r(&t, &tm);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &tm);
    return text;
}

// Held while a game reads, merges and writes the file; closing the descriptor lets go.
class FileLock {
public:
    explicit FileLock(const std::filesystem::path& lockFile) {
        std::error_code ec;
        std::filesystem::create_directories(lockFile.parent_path(), ec);
        fd_ = ::open(lockFile.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
        if (fd_ < 0) {
            error_ = std::strerror(errno);
            return;
        }
        while (::flock(fd_, LOCK_EX) != 0) {
            if (errno != EINTR) {
                error_ = std::strerror(errno);
                ::close(fd_);
                fd_ = -1;
                return;
            }
        }
    }
    ~FileLock() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    bool held() const { return fd_ >= 0; }
    const std::string& error() const { return error_; }

private:
    int fd_ = -1;
    std::string error_;
};

} // namespace

std::size_t BestTimes::index(int speed) {
    return static_cast<std::size_t>(std::clamp(speed, 1, kSpeeds) - 1);
}

const char* BestTimes::speedName(int speed) {
    static constexpr std::array<const char*, kSpeeds> kNames{"slow", "mild", "fast"};
    return kNames[index(speed)];
}

std::string BestTimes::formatSeconds(double seconds) {
    const auto hundredths = static_cast<long long>(std::llround(std::max(0.0, seconds) * 100));
    char text[48];
    std::snprintf(text, sizeof text, "%lld:%02lld.%02lld", hundredths / 6000, hundredths / 100 % 60,
                  hundredths % 100);
    return text;
}

int BestTimes::add(int speed, const BestTime& time) {
    std::vector<BestTime>& list = bySpeed_[index(speed)];
    // After the times as fast, so that an older time keeps its place before a tie.
    const auto at =
        std::upper_bound(list.begin(), list.end(), time,
                         [](const BestTime& a, const BestTime& b) { return a.seconds < b.seconds; });
    const auto place = static_cast<std::size_t>(at - list.begin());
    if (place >= kKept)
        return 0;
    list.insert(at, time);
    if (list.size() > kKept)
        list.resize(kKept);
    return static_cast<int>(place) + 1;
}

std::string BestTimes::toJson() const {
    json speeds = json::object();
    for (int speed = 1; speed <= kSpeeds; ++speed) {
        json list = json::array();
        for (const BestTime& time : at(speed))
            list.push_back({{"seconds", time.seconds}, {"date", time.date}, {"lives", time.lives}});
        speeds[speedName(speed)] = std::move(list);
    }
    return json{{"version", kVersion}, {"speeds", std::move(speeds)}}.dump(2) + "\n";
}

std::optional<BestTimes> BestTimes::fromJson(std::string_view text, std::string& why) {
    const json in = json::parse(text, nullptr, false);
    if (in.is_discarded() || !in.is_object() || !in.contains("speeds") || !in["speeds"].is_object()) {
        why = core::tr("not a JSON list of best times");
        return std::nullopt;
    }
    if (const auto version = in.find("version"); version == in.end() || *version != kVersion) {
        why = core::trNumber("a version other than %d", kVersion);
        return std::nullopt;
    }
    BestTimes times;
    for (int speed = 1; speed <= kSpeeds; ++speed) {
        const auto list = in["speeds"].find(speedName(speed));
        if (list == in["speeds"].end())
            continue;
        if (!list->is_array() || list->size() > kKept) {
            why = core::trFill("the %s times are not a list of ten at most", {speedName(speed)});
            return std::nullopt;
        }
        for (const json& entry : *list) {
            const bool right = entry.is_object() && entry.contains("seconds") &&
                               entry["seconds"].is_number() && entry.contains("date") &&
                               entry["date"].is_string() &&
                               entry["date"].get_ref<const std::string&>().size() <= 40 &&
                               entry.contains("lives") && entry["lives"].is_number_integer();
            const double seconds = right ? entry["seconds"].get<double>() : 0;
            const long long lives = right ? entry["lives"].get<long long>() : 0;
            if (!right || !(seconds > 0 && seconds <= kLongestRound) || lives < 0 || lives > 9) {
                why = core::trFill("a %s time that is not a round's", {speedName(speed)});
                return std::nullopt;
            }
            times.add(speed, {seconds, entry["date"].get<std::string>(), static_cast<int>(lives)});
        }
    }
    return times;
}

ScoreFile::ScoreFile(std::filesystem::path file, std::function<void(const std::string&)> say)
    : now(utcNow), file_(std::move(file)), say_(std::move(say)) {}

std::filesystem::path ScoreFile::defaultPath() {
    const std::filesystem::path folder = core::KeptFile::folder("XDG_DATA_HOME", ".local/share");
    return folder.empty() ? folder : folder / "scores.json";
}

bool ScoreFile::readFile() {
    std::string text;
    std::string why;
    const core::KeptFile::Read got = core::KeptFile::read(file_, text, why);
    if (got == core::KeptFile::Read::Missing) {
        times_ = {};
        return true;
    }
    if (got == core::KeptFile::Read::Done) {
        if (auto times = BestTimes::fromJson(text, why)) {
            times_ = std::move(*times);
            return true;
        }
    }
    std::string asideWhy;
    const std::filesystem::path aside = core::KeptFile::setAside(file_, asideWhy);
    if (aside.empty()) {
        writable_ = false;
        say_(core::trFill(
            "hearthly: cannot read the best times in %s (%s); the file is left as it is and no time "
            "is kept",
            {file_.string(), why}));
        return false;
    }
    say_(core::trFill(
        "hearthly: cannot read the best times in %s (%s); it is kept as %s and a new list begins",
        {file_.string(), why, aside.string()}));
    times_ = {};
    return true;
}

const BestTimes& ScoreFile::load() {
    readFile();
    return times_;
}

int ScoreFile::roundWon(int speed, double seconds, int lives) {
    if (!writable_)
        return 0;
    std::filesystem::path lockName = file_;
    lockName.replace_extension(".lock");
    const FileLock lock(lockName);
    if (!lock.held()) {
        writable_ = false;
        say_(core::trFill("hearthly: cannot lock %s (%s); the game plays on without keeping its best times",
                          {lockName.string(), lock.error()}));
        return 0;
    }
    // Another game may have written since this one read: its times stay.
    if (!readFile())
        return 0;
    const int place = times_.add(speed, {seconds, now(), lives});
    if (place == 0)
        return 0;
    std::string why;
    if (!core::KeptFile::write(file_, times_.toJson(), why)) {
        writable_ = false;
        say_(core::trFill("hearthly: %s; the game plays on without keeping its best times", {why}));
        return 0;
    }
    return place;
}

std::optional<double> ScoreFile::bestTime(int speed) const {
    const std::vector<BestTime>& list = times_.at(speed);
    if (list.empty())
        return std::nullopt;
    return list.front().seconds;
}

} // namespace game
