// hearthly-replay: runs the game without a window, driven by a script on a virtual clock.
#include "ReplayOptions.h"
#include "ReplayRunner.h"
#include "record/RecordingPlayer.h"
#include "record/ReplayScript.h"

#include <iostream>

int main(int argc, char** argv) {
    constexpr int kBadArguments = 2;
    std::string error;
    const std::optional<ReplayOptions> options = ReplayOptions::parse({argv + 1, argv + argc}, error);
    if (!options) {
        std::cerr << "hearthly-replay: " << error << '\n';
        return kBadArguments;
    }
    if (options->helpRequested) {
        std::cout << ReplayOptions::kUsage;
        return 0;
    }
    if (options->versionRequested) {
        std::cout << "hearthly-replay " << HEARTHLY_VERSION << '\n';
        return 0;
    }
    if (!options->playFile.empty()) {
        if (!options->sessionOption.empty()) {
            std::cerr << "hearthly-replay: " << options->sessionOption
                      << " cannot go with --play: the recording has the seed, the size and the timer calls\n";
            return kBadArguments;
        }
        // The whole file is checked first: a damaged recording plays nothing.
        record::RecordingHeader header;
        if (!record::RecordingPlayer::check(options->playFile, header, error)) {
            std::cerr << "hearthly-replay: " << error << '\n';
            return kBadArguments;
        }
        const std::unique_ptr<std::istream> file = record::RecordingPlayer::open(options->playFile, error);
        if (!file) {
            std::cerr << "hearthly-replay: " << error << '\n';
            return kBadArguments;
        }
        ReplayOptions played = *options;
        played.seed = header.seed;
        played.width = header.clientWidth;
        played.height = header.clientHeight;
        ReplayRunner runner(played, ReplayScript{});
        return runner.play(*file);
    }
    std::optional<ReplayScript> script = ReplayScript{};
    if (!options->scriptFile.empty())
        script = ReplayScript::load(options->scriptFile, error);
    if (!script) {
        std::cerr << "hearthly-replay: " << error << '\n';
        return kBadArguments;
    }
    ReplayRunner runner(*options, std::move(*script));
    return runner.run();
}
