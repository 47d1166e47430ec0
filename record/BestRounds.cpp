#include "record/BestRounds.h"

#include "core/KeptFile.h"
#include "core/Translate.h"

#include <cerrno>
#include <csignal>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace record {

namespace {

constexpr const char* kSessionPrefix = "session-";

// A session file whose game is gone: its process id names no running process.
bool leftBehind(const std::filesystem::path& file) {
    const std::string name = file.filename().string();
    if (name.rfind(kSessionPrefix, 0) != 0 || file.extension() != ".rec")
        return false;
    const std::string digits =
        name.substr(std::string(kSessionPrefix).size(), name.size() - std::string(kSessionPrefix).size() - 4);
    if (digits.empty() || digits.size() > 9 || digits.find_first_not_of("0123456789") != std::string::npos)
        return false;
    return ::kill(static_cast<pid_t>(std::stol(digits)), 0) != 0 && errno == ESRCH;
}

} // namespace

BestRounds::BestRounds(game::ScoreKeeper& scores, std::filesystem::path folder, Say say)
    : scores_(scores), folder_(std::move(folder)), say_(std::move(say)) {
    session_ = folder_ / (kSessionPrefix + std::to_string(::getpid()) + ".rec");
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(folder_, ec))
        if (leftBehind(entry.path()))
            std::filesystem::remove(entry.path(), ec);
}

BestRounds::~BestRounds() {
    finish();
}

std::filesystem::path BestRounds::bestFile(const std::filesystem::path& folder, int speed) {
    return folder / (std::string("best-") + game::BestTimes::speedName(speed) + ".rec");
}

SessionRecorder* BestRounds::begin(const RecordingHeader& header, const std::string& recordedBy,
                                   game::WindowPort& window, SessionRecorder::TimeSource time) {
    std::error_code ec;
    std::filesystem::create_directories(folder_, ec);
    std::string error;
    recorder_ = SessionRecorder::create(session_.string(), error);
    if (recorder_ && !recorder_->begin(header, recordedBy, window, std::move(time), error))
        recorder_.reset();
    if (!recorder_) {
        say_(core::trFill("hearthly: %s; best rounds are not kept to watch", {error}));
        std::filesystem::remove(session_, ec);
    }
    return recorder_.get();
}

int BestRounds::roundWon(int speed, double seconds, int lives) {
    const int place = scores_.roundWon(speed, seconds, lives);
    if (place == 1 && recorder_)
        pending_ = speed;
    return place;
}

void BestRounds::keepPending() {
    if (pending_ == 0 || !recorder_)
        return;
    const int speed = pending_;
    pending_ = 0;
    recorder_->flush();
    std::ostringstream session;
    session << std::ifstream(session_, std::ios::binary).rdbuf();
    std::string error;
    if (session.str().empty() || !core::KeptFile::write(bestFile(folder_, speed), session.str(), error))
        say_(core::trFill("hearthly: the best round is not kept to watch (%s)",
                          {error.empty() ? session_.string() : error}));
}

void BestRounds::finish() {
    if (!recorder_)
        return;
    keepPending();
    recorder_->finish();
    recorder_.reset();
    std::error_code ec;
    std::filesystem::remove(session_, ec);
}

} // namespace record
