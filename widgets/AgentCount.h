#pragma once

#include "scene/Switch.h"

#include <memory>
#include <vector>

namespace game {

class Person;

// The lives along the bottom: small figures in a row, those beyond the count drawn as
// translucent black silhouettes. The figures are its own, kept out of the frame cycle.
class AgentCount : public Switch {
public:
    AgentCount();
    ~AgentCount() override;

    // Registers like any widget; its figures are built as agents but neither drawn nor updated
    // by the frame cycle.
    void registerInGame(World& world) override;
    std::string typeName() const override { return "AgentCount"; }
    void draw(gfx::Graphics& g) override;
    void addContent() override;
    void tick(double) override {}

    void addFigure(std::unique_ptr<Person> figure);
    // How many figures are drawn in full; redraws on a change.
    void setCount(int value);
    int count() const { return count_; }

private:
    std::vector<std::unique_ptr<Person>> figures_;
    int count_ = 0;
};

} // namespace game
