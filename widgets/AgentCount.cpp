#include "widgets/AgentCount.h"

#include "characters/Person.h"
#include "gfx/Graphics.h"
#include "scene/World.h"

namespace game {

AgentCount::AgentCount() = default;
AgentCount::~AgentCount() = default;

void AgentCount::addFigure(std::unique_ptr<Person> figure) {
    figures_.push_back(std::move(figure));
}

void AgentCount::registerInGame(World& world) {
    Switch::registerInGame(world);
    for (auto& figure : figures_) {
        figure->registerInGame(world);
        // Drawn by this widget only, never moved by the frame cycle nor thrown by a trampoline.
        for (const ObjectRegistry::List list :
             {ObjectRegistry::List::Draw, ObjectRegistry::List::Agent, ObjectRegistry::List::Animal})
            world.objects().remove(list, figure.get());
    }
}

void AgentCount::setCount(int value) {
    if (count_ == value)
        return;
    count_ = value;
    invalidate();
}

void AgentCount::addContent() {
    float left = x_;
    gfx::RectF all;
    for (auto& figure : figures_) {
        figure->moveTo(left, y_);
        figure->setFigureScale(0.6f, 0.6f);
        figure->setPenWidth(2.4f);
        figure->invalidate();
        figure->rebuildPath();
        const gfx::RectF b = figure->pathBounds(false);
        left += b.width + 10;
        all = gfx::unite(all, b);
    }
    if (!all.isEmpty())
        path_.addRectangle({all.x - 2, all.y - 2, all.width + 4, all.height + 4});
}

void AgentCount::draw(gfx::Graphics& g) {
    // Switched off, like any widget, it draws nothing: the figures keep the outlines of the
    // last round, which a full repaint would otherwise show after the round is cleared.
    if (!on_)
        return;
    for (std::size_t i = 0; i < figures_.size(); ++i) {
        if (count_ >= static_cast<int>(i) + 1)
            figures_[i]->draw(g);
        else
            figures_[i]->drawSilhouette(g, 0x80000000);
    }
}

} // namespace game
