#pragma once

#include <vector>

namespace game {

class Button;
class Object;

// The scene's objects, listed by what the frame cycle does with them: every object is drawn
// (the draw list is the painting order, back to front), and each is updated in the pass of
// its kind. The lists are non-owning, in order of registration; an object leaving the scene
// takes itself off them.
class ObjectRegistry {
public:
    enum class List { Draw, Agent, Platform, Object, Animal };

    const std::vector<Object*>& drawList() const { return drawList_; }
    const std::vector<Object*>& agentList() const { return agentList_; }
    const std::vector<Object*>& platformList() const { return platformList_; }
    // Objects that are neither agents nor platforms.
    const std::vector<Object*>& objectList() const { return objectList_; }
    // The walkers a trampoline may throw.
    const std::vector<Object*>& animalList() const { return animalList_; }
    const std::vector<Button*>& buttonList() const { return buttonList_; }

    void add(List list, Object* object) { listOf(list).push_back(object); }
    // Adds it unless it is listed already.
    void addOnce(List list, Object* object);
    // Takes it off the list wherever it stands.
    void remove(List list, const Object* object);
    void clear(List list) { listOf(list).clear(); }
    void addButton(Button* button) { buttonList_.push_back(button); }

private:
    std::vector<Object*>& listOf(List list);

    std::vector<Object*> drawList_;
    std::vector<Object*> agentList_;
    std::vector<Object*> platformList_;
    std::vector<Object*> objectList_;
    std::vector<Object*> animalList_;
    std::vector<Button*> buttonList_;
};

} // namespace game
