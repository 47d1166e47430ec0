#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace game {

// What the game remembers of its player between runs. The defaults are the first run's game.
struct PlayerSettings {
    bool music = true;
    bool fullscreen = false;
    // The window's client size when last seen as a window (not full screen).
    int width = 800;
    int height = 584;
    // The speed 'n' starts a round at: 1 Slow, 2 Mild, 3 Fast.
    int speed = 1;

    bool operator==(const PlayerSettings&) const = default;

    std::string toJson() const;
    // The settings of a file's text; nullopt with why when it is not one the game wrote (every
    // key it knows must have its type and range; keys it does not know are passed over).
    static std::optional<PlayerSettings> fromJson(std::string_view text, std::string& why);

    static constexpr int kLargestSide = 16384;
};

// The settings file, $XDG_CONFIG_HOME/hearthly/settings.json. Nothing here prints: what the
// player should hear of comes back as one line in message.
class SettingsFile {
public:
    explicit SettingsFile(std::filesystem::path file) : file_(std::move(file)) {}
    // Where the player's settings live; empty when there is no home to keep them in.
    static std::filesystem::path defaultPath();

    // The kept settings, or the defaults when there are none. A damaged or unreadable file is
    // set aside as settings.json.bad and the message names both; if it cannot be set aside it
    // is left alone and never written over.
    PlayerSettings load(std::string& message);
    // Writes the settings if they differ from what the file holds. The first failure gives a
    // message; after it the game plays on without writing again.
    void keep(const PlayerSettings& settings, std::string& message);

    const std::filesystem::path& path() const { return file_; }

private:
    std::filesystem::path file_;
    std::optional<PlayerSettings> written_;
    bool writable_ = true;
};

} // namespace game
