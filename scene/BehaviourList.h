#pragma once

#include <deque>
#include <initializer_list>
#include <string>
#include <vector>

namespace game {

class Agent;
class State;

// One guarded per-step action of an agent: it runs while all its required states are active.
struct Behaviour {
    // A member operation of the agent (or of a subclass, cast to this type); returning 1
    // ends the step.
    using Callback = int (Agent::*)(double dt);

    std::vector<const State*> required;
    Callback callback = nullptr;
    std::string name;

    bool applicable() const;
};

// The agent's ordered behaviours, run front to back once per step. Records are never
// removed while the agent lives.
class BehaviourList {
public:
    void addFront(std::string name, std::initializer_list<const State*> required,
                  Behaviour::Callback callback);
    void addBack(std::string name, std::initializer_list<const State*> required,
                 Behaviour::Callback callback);

    // Runs every behaviour that is applicable at the start of the step, re-checking each
    // guard just before its call: what an earlier behaviour switched on waits for the next
    // step, what it switched off is skipped at once.
    void runBehaviours(double dt);

    void setOwner(Agent* agent) { owner_ = agent; }
    Agent* owner() const { return owner_; }
    const std::deque<Behaviour>& entries() const { return list_; }

private:
    std::deque<Behaviour> list_;
    Agent* owner_ = nullptr;
    std::vector<const Behaviour*> collected_; // reused every step
};

} // namespace game
