#include "game/PlayerSettings.h"

#include "core/KeptFile.h"
#include "core/Translate.h"

#include <nlohmann/json.hpp>

namespace game {

namespace {

using nlohmann::json;

constexpr int kVersion = 1;

// Reads a known key into value when it is there; false when it is there but not right.
bool readFlag(const json& object, const char* key, bool& value) {
    const auto it = object.find(key);
    if (it == object.end())
        return true;
    if (!it->is_boolean())
        return false;
    value = it->get<bool>();
    return true;
}

bool readWhole(const json& object, const char* key, int low, int high, int& value) {
    const auto it = object.find(key);
    if (it == object.end())
        return true;
    if (!it->is_number_integer())
        return false;
    const auto number = it->get<long long>();
    if (number < low || number > high)
        return false;
    value = static_cast<int>(number);
    return true;
}

} // namespace

std::string PlayerSettings::toJson() const {
    const json out = {{"version", kVersion},
                      {"music", music},
                      {"fullscreen", fullscreen},
                      {"window", {{"width", width}, {"height", height}}},
                      {"speed", speed}};
    return out.dump(2) + "\n";
}

std::optional<PlayerSettings> PlayerSettings::fromJson(std::string_view text, std::string& why) {
    const json in = json::parse(text, nullptr, false);
    if (in.is_discarded() || !in.is_object()) {
        why = core::tr("not JSON settings");
        return std::nullopt;
    }
    PlayerSettings settings;
    int version = kVersion;
    if (!readWhole(in, "version", kVersion, kVersion, version)) {
        why = core::trNumber("a version other than %d", kVersion);
        return std::nullopt;
    }
    const auto window = in.find("window");
    const bool windowRight =
        window == in.end() ||
        (window->is_object() && readWhole(*window, "width", 1, kLargestSide, settings.width) &&
         readWhole(*window, "height", 1, kLargestSide, settings.height));
    if (!readFlag(in, "music", settings.music) || !readFlag(in, "fullscreen", settings.fullscreen) ||
        !windowRight || !readWhole(in, "speed", 1, 3, settings.speed)) {
        why = core::tr("a setting out of its range");
        return std::nullopt;
    }
    return settings;
}

std::filesystem::path SettingsFile::defaultPath() {
    const std::filesystem::path folder = core::KeptFile::folder("XDG_CONFIG_HOME", ".config");
    return folder.empty() ? folder : folder / "settings.json";
}

PlayerSettings SettingsFile::load(std::string& message) {
    std::string text;
    std::string why;
    const core::KeptFile::Read got = core::KeptFile::read(file_, text, why);
    if (got == core::KeptFile::Read::Missing)
        return {};
    if (got == core::KeptFile::Read::Done) {
        if (auto settings = PlayerSettings::fromJson(text, why)) {
            written_ = *settings;
            return *settings;
        }
    }
    std::string asideWhy;
    const std::filesystem::path aside = core::KeptFile::setAside(file_, asideWhy);
    if (aside.empty()) {
        // Left where it is: nothing the game writes may destroy it.
        writable_ = false;
        message = core::trFill("hearthly: cannot read the settings in %s (%s); starting with the defaults, "
                               "the file is left as it is",
                               {file_.string(), why});
    } else {
        message = core::trFill("hearthly: cannot read the settings in %s (%s); starting with the defaults, "
                               "the file is kept as %s",
                               {file_.string(), why, aside.string()});
    }
    return {};
}

void SettingsFile::keep(const PlayerSettings& settings, std::string& message) {
    if (!writable_ || written_ == settings)
        return;
    std::string why;
    if (!core::KeptFile::write(file_, settings.toJson(), why)) {
        writable_ = false;
        message = core::trFill("hearthly: %s; the game plays on without keeping its settings", {why});
        return;
    }
    written_ = settings;
}

} // namespace game
