// hearthly-replay: runs the game without a window, driven by a script on a virtual clock.
#include "ReplayOptions.h"
#include "ReplayRunner.h"
#include "ReplayScript.h"

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
