#include "scene/State.h"

namespace game {

void State::activate() {
    if (active_)
        return;
    if (index_ != -1)
        parent_->switchTo(index_);
    if (parent_ == nullptr || parent_->isActive())
        enter();
    else
        parent_->activate(); // entering the parent enters this state as its current or parallel child
}

void State::writeLine(std::ostream& out, const std::string& indent, bool withDescription) const {
    out << indent << name;
    if (withDescription)
        out << describe();
    out << '\n';
}

void State::dump(std::ostream& out, const std::string& indent, bool withDescription) const {
    writeLine(out, indent, withDescription);
}

void State::dumpTree(std::ostream& out, const std::string& indent) const {
    out << indent;
    if (active_)
        out << '(' << name << ')';
    else
        out << ' ' << name;
    out << describe() << '\n';
}

void StateMachine::reset() {
    for (State* child : parallel_)
        child->reset();
    for (State* child : exclusive_)
        child->reset();
    current_ = exclusive_.empty() ? nullptr : exclusive_.front();
}

void StateMachine::bind(BehaviourList& list) {
    for (State* child : parallel_)
        child->bind(list);
    for (State* child : exclusive_)
        child->bind(list);
}

void StateMachine::dump(std::ostream& out, const std::string& indent, bool withDescription) const {
    writeLine(out, indent, withDescription);
    const std::string inner = indent + "  ";
    if (current_ != nullptr)
        current_->dump(out, inner, withDescription);
    for (const State* child : parallel_)
        child->dump(out, inner, withDescription);
}

void StateMachine::dumpTree(std::ostream& out, const std::string& indent) const {
    State::dumpTree(out, indent);
    const std::string inner = indent + "  ";
    for (const State* child : exclusive_)
        child->dumpTree(out, inner);
    for (const State* child : parallel_)
        child->dumpTree(out, inner);
}

void StateMachine::enter() {
    State::enter();
    for (State* child : parallel_)
        child->enter();
    if (current_ != nullptr)
        current_->enter();
}

void StateMachine::exit() {
    if (current_ != nullptr)
        current_->exit();
    for (State* child : parallel_)
        child->exit();
    State::exit();
}

void StateMachine::switchTo(int childIndex) {
    State* next = exclusive_.at(static_cast<std::size_t>(childIndex));
    if (next == current_)
        return;
    if (isActive() && current_ != nullptr)
        current_->exit();
    current_ = next;
}

void StateMachine::addChild(State& child) {
    child.parent_ = this;
    child.index_ = static_cast<int>(exclusive_.size());
    exclusive_.push_back(&child);
}

void StateMachine::addParallel(State& child) {
    child.parent_ = this;
    parallel_.push_back(&child);
}

void collectActiveStates(const State& root, std::vector<std::string>& names) {
    if (!root.isActive())
        return;
    names.push_back(root.name);
    const auto* machine = dynamic_cast<const StateMachine*>(&root);
    if (machine == nullptr)
        return;
    if (machine->current() != nullptr)
        collectActiveStates(*machine->current(), names);
    for (const State* child : machine->parallelChildren())
        collectActiveStates(*child, names);
}

} // namespace game
