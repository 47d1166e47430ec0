#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace game {

class BehaviourList;
class StateMachine;

// A named state of an agent. States are members of their owner; machines hold plain
// references and own nothing. A state becomes active only through activate(), which switches
// every ancestor on the way up to the branch that leads to it.
class State {
public:
    explicit State(std::string stateName) : name(std::move(stateName)) {}
    virtual ~State() = default;
    State(const State&) = delete;
    State& operator=(const State&) = delete;

    virtual void reset() {}
    // Adds the state's behaviours to the agent's list.
    virtual void bind(BehaviourList&) {}
    // Makes this state active, exiting the branch it replaces from its top down.
    void activate();
    // Extra text for the debug dumps: counters, the edge it is on, ...
    virtual std::string describe() const { return {}; }
    // The active path: this line, then (for a machine) the current and parallel children.
    virtual void dump(std::ostream& out, const std::string& indent, bool withDescription) const;
    // The whole tree, active states in parentheses.
    virtual void dumpTree(std::ostream& out, const std::string& indent) const;
    virtual void enter() { active_ = true; }
    virtual void exit() { active_ = false; }

    bool isActive() const { return active_; }
    StateMachine* parent() const { return parent_; }
    int index() const { return index_; }

    const std::string name;

protected:
    void writeLine(std::ostream& out, const std::string& indent, bool withDescription) const;

private:
    friend class StateMachine;
    bool active_ = false;
    StateMachine* parent_ = nullptr;
    int index_ = -1;
};

// A composite state: parallel children are active whenever the machine is, and exactly one
// exclusive child, the current one, is active with them.
class StateMachine : public State {
public:
    using State::State;

    void reset() override;
    void bind(BehaviourList& list) override;
    void dump(std::ostream& out, const std::string& indent, bool withDescription) const override;
    void dumpTree(std::ostream& out, const std::string& indent) const override;
    void enter() override;
    void exit() override;
    // Makes the indexed exclusive child current; exits the old one if the machine is active,
    // but never enters the new one.
    virtual void switchTo(int childIndex);

    void addChild(State& child);
    void addParallel(State& child);

    State* current() const { return current_; }
    const std::vector<State*>& exclusiveChildren() const { return exclusive_; }
    const std::vector<State*>& parallelChildren() const { return parallel_; }

private:
    std::vector<State*> parallel_;
    std::vector<State*> exclusive_;
    State* current_ = nullptr;
};

// Names of the active states below and including the root, depth first (the state itself,
// its current child's branch, then its parallel children's).
void collectActiveStates(const State& root, std::vector<std::string>& names);

} // namespace game
