#include "scene/BehaviourList.h"

#include "scene/Agent.h"
#include "scene/State.h"

#include <algorithm>

namespace game {

bool Behaviour::applicable() const {
    return std::all_of(required.begin(), required.end(), [](const State* s) { return s->isActive(); });
}

void BehaviourList::addFront(std::string name, std::initializer_list<const State*> required,
                             Behaviour::Callback callback) {
    list_.push_front(Behaviour{required, callback, std::move(name)});
}

void BehaviourList::addBack(std::string name, std::initializer_list<const State*> required,
                            Behaviour::Callback callback) {
    list_.push_back(Behaviour{required, callback, std::move(name)});
}

void BehaviourList::runBehaviours(double dt) {
    if (owner_ == nullptr)
        return;
    collected_.clear();
    for (const Behaviour& b : list_)
        if (b.applicable())
            collected_.push_back(&b);
    for (const Behaviour* b : collected_) {
        if (!b->applicable())
            continue;
        if ((owner_->*b->callback)(dt) == 1)
            return;
    }
}

} // namespace game
