#pragma once

#include "characters/Person.h"

#include <functional>
#include <string>
#include <utility>

namespace game {

// The player's figure: a blue man who goes where the player clicks and almost never wanders
// off by himself. With the platform display on, he tells the game what he stands on, and the
// game shows it in the status box.
class Husband : public Person {
public:
    Husband();

    std::string typeName() const override { return "Husband"; }
    // Faster at each speed level: 1.0, 1.2, 1.4.
    double timeScale() const override;
    void addBody() override;
    void drawBody(gfx::Graphics& g, gfx::PathIterator& figures) override;
    // A walk of his own only on a rare draw (16 in 32768).
    int randomGoal(double dt) override;
    // Who hears the name of the platform he stands on (empty while he stands on none) each
    // time his figure is rebuilt, while the status box shows platforms.
    void reportPlatformTo(std::function<void(const std::string&)> listener) {
        platformListener_ = std::move(listener);
    }

    static constexpr gfx::Argb kBodyColor = 0xff6464ff;

private:
    std::function<void(const std::string&)> platformListener_;
};

} // namespace game
