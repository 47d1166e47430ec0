#include "rules/RoundDisplay.h"

#include "characters/Husband.h"
#include "core/Translate.h"
#include "rules/GameRoundup.h"

#include <algorithm>
#include <cstdio>
#include <memory>

namespace game {

RoundDisplay::RoundDisplay() {
    livesDisplay.addFigure(std::make_unique<Husband>());
    livesDisplay.addFigure(std::make_unique<Husband>());
}

void RoundDisplay::registerInGame(World& world) {
    const struct {
        Switch& widget;
        gfx::PointF place;
    } widgets[] = {{gameClock, {170, 550}}, {sockCounter, {6, 550}}, {livesDisplay, {92, 565}},
                   {speedBox, {144, 550}},  {resultBox, {320, 200}}, {cheaterBox, {560, 556}}};
    for (const auto& [widget, place] : widgets) {
        widget.registerInGame(world);
        widget.setPosition(place.x, place.y);
    }
    cheaterBox.setText(core::tr("CHEATER"));
}

void RoundDisplay::showRound(int collected, int lives, int speedLevel) {
    gameClock.setOn(true);
    gameClock.restart();
    sockCounter.setOn(true);
    showCount(collected);
    livesDisplay.setOn(true);
    showLives(lives);
    speedBox.setOn(true);
    showSpeed(speedLevel);
}

void RoundDisplay::showCount(int collected) {
    char text[16];
    std::snprintf(text, sizeof text, "%02d/%02d", collected, GameRoundup::kSockCount);
    sockCounter.setText(text);
}

void RoundDisplay::showLives(int lives) {
    livesDisplay.setCount(lives);
    livesDisplay.invalidate();
}

void RoundDisplay::showSpeed(int speedLevel) {
    struct Look {
        const char* speed;
        gfx::Argb fill;
    };
    // The speed's first letter, in the player's language.
    constexpr Look kLooks[] = {{"Slow", 0x4000ff00}, {"Mild", 0x40ffff00}, {"Fast", 0x80c00000}};
    const int level = std::clamp(speedLevel, 1, 3);
    speedBox.setText(core::firstLetter(core::tr(kLooks[level - 1].speed)));
    speedBox.setFillColor(kLooks[level - 1].fill);
    speedBox.invalidate();
}

void RoundDisplay::speedChanged(int speedLevel) {
    if (speedBox.isOn())
        showSpeed(speedLevel);
}

void RoundDisplay::showCheater() {
    cheaterBox.setOn(true);
}

void RoundDisplay::showResult(const std::string& text) {
    resultBox.setText(text);
    resultBox.setOn(true);
}

void RoundDisplay::freezeClock() {
    gameClock.setFrozen(true);
}

void RoundDisplay::hide() {
    for (Switch* widget : std::initializer_list<Switch*>{&gameClock, &sockCounter, &livesDisplay, &resultBox,
                                                         &cheaterBox, &speedBox})
        widget->setOn(false);
}

} // namespace game
