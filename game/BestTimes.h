#pragma once

#include <array>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace game {

// Who keeps the winning rounds' times. The game hands each fair win to it; the window's program
// gives it one that keeps them in a file, a game without a window has none.
class ScoreKeeper {
public:
    virtual ~ScoreKeeper() = default;
    // A round at speed 1 to 3 won in seconds with lives left; returns the place it took among
    // the best (1 to 10), or 0.
    virtual int roundWon(int speed, double seconds, int lives) = 0;
    // The best time at a speed, if there is one.
    virtual std::optional<double> bestTime(int speed) const = 0;
};

struct BestTime {
    double seconds = 0;
    // When it was set, ISO 8601 in UTC ("2026-12-09T18:50:17Z").
    std::string date;
    int lives = 0;

    bool operator==(const BestTime&) const = default;
};

// The ten best times at each speed, fastest first.
class BestTimes {
public:
    static constexpr int kSpeeds = 3;
    static constexpr std::size_t kKept = 10;
    // A round lasts at most this long as a best time; longer ones are not the game's.
    static constexpr double kLongestRound = 100 * 3600.0;

    const std::vector<BestTime>& at(int speed) const { return bySpeed_[index(speed)]; }
    // Puts a time among the best; returns its place (1 to 10), or 0 when it is not among them.
    int add(int speed, const BestTime& time);

    std::string toJson() const;
    static std::optional<BestTimes> fromJson(std::string_view text, std::string& why);
    // The names of the speeds in the file and on the terminal: "slow", "mild", "fast".
    static const char* speedName(int speed);
    // "1:23.45".
    static std::string formatSeconds(double seconds);

private:
    static std::size_t index(int speed);
    std::array<std::vector<BestTime>, kSpeeds> bySpeed_;
};

// The best times file, $XDG_DATA_HOME/hearthly/scores.json. Two games may win at once: each
// writes under a lock (scores.lock beside it), reading the file afresh and merging its time
// into what is there, so neither loses the other's.
class ScoreFile : public ScoreKeeper {
public:
    // say prints a one-line message for the player.
    ScoreFile(std::filesystem::path file, std::function<void(const std::string&)> say);
    static std::filesystem::path defaultPath();

    // What the file holds now. A damaged file is set aside as scores.json.bad and said once.
    const BestTimes& load();
    int roundWon(int speed, double seconds, int lives) override;
    std::optional<double> bestTime(int speed) const override;

    const std::filesystem::path& path() const { return file_; }
    // The time of day a win is stamped with (tests set their own).
    std::function<std::string()> now;

private:
    // Reads the file into times_; a damaged one is set aside (false when it cannot be).
    bool readFile();

    std::filesystem::path file_;
    std::function<void(const std::string&)> say_;
    BestTimes times_;
    bool writable_ = true;
};

} // namespace game
