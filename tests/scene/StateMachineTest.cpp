#include "scene/Agent.h"
#include "scene/State.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace game {

namespace {

// A state that logs its entries and exits, to see the order in which a switch happens.
class Logged : public StateMachine {
public:
    Logged(std::string stateName, std::vector<std::string>& log)
        : StateMachine(std::move(stateName)), log_(log) {}
    void enter() override {
        log_.push_back("+" + name);
        StateMachine::enter();
    }
    void exit() override {
        StateMachine::exit();
        log_.push_back("-" + name);
    }

private:
    std::vector<std::string>& log_;
};

// root: exclusive a (with a1, a2) and b (with b1); parallel p.
struct Tree {
    std::vector<std::string> log;
    Logged root{"root", log}, a{"a", log}, a1{"a1", log}, a2{"a2", log}, b{"b", log}, b1{"b1", log},
        p{"p", log};
    Tree() {
        root.addChild(a);
        root.addChild(b);
        root.addParallel(p);
        a.addChild(a1);
        a.addChild(a2);
        b.addChild(b1);
        root.reset();
    }
    std::vector<std::string> active() const {
        std::vector<std::string> names;
        collectActiveStates(root, names);
        return names;
    }
};

} // namespace

TEST(StateMachine, ActivationSwitchesWholeBranchesAndNothingElse) {
    Tree t;
    t.root.activate();
    EXPECT_EQ(t.active(), (std::vector<std::string>{"root", "a", "a1", "p"}));
    EXPECT_EQ(t.log, (std::vector<std::string>{"+root", "+p", "+a", "+a1"}));

    // A leaf two levels down: the old branch is exited from its top down, then entered.
    t.log.clear();
    t.b1.activate();
    EXPECT_EQ(t.active(), (std::vector<std::string>{"root", "b", "b1", "p"}));
    EXPECT_EQ(t.log, (std::vector<std::string>{"-a1", "-a", "+b", "+b1"}));

    t.log.clear();
    t.b1.activate(); // already active
    t.p.activate();
    EXPECT_TRUE(t.log.empty());

    // An inactive machine only changes its current child; reset on an active one likewise.
    t.a.switchTo(1);
    EXPECT_TRUE(t.log.empty());
    EXPECT_EQ(t.a.current(), &t.a2);
    t.root.reset();
    EXPECT_TRUE(t.log.empty());
    EXPECT_EQ(t.root.current(), &t.a);
    EXPECT_TRUE(t.b.isActive());
}

TEST(StateMachine, DumpsShowTheActivePathAndTheWholeTree) {
    Tree t;
    t.root.activate();
    std::ostringstream path, tree;
    t.root.dump(path, "", true);
    t.a.dumpTree(tree, "");
    EXPECT_EQ(path.str(), "root\n  a\n    a1\n  p\n");
    EXPECT_EQ(tree.str(), "(a)\n  (a1)\n   a2\n");
}

namespace {

// An agent whose behaviours record their runs; "second" switches the guard states around.
class Recorder : public Agent {
public:
    Recorder() {
        body_.addParallel(gate);
        gate.addChild(on);
        gate.addChild(off);
    }
    void draw(gfx::Graphics&) override {}
    void rebuildPath() override { clearShapeDirty(); }
    void bindTest() {
        behaviours_.setOwner(this);
        body_.reset();
        body_.activate();
        behaviours_.addBack("first", {}, static_cast<Behaviour::Callback>(&Recorder::first));
        behaviours_.addBack("second", {&on}, static_cast<Behaviour::Callback>(&Recorder::second));
        behaviours_.addBack("needs off", {&off}, static_cast<Behaviour::Callback>(&Recorder::needsOff));
        behaviours_.addBack("needs on", {&on}, static_cast<Behaviour::Callback>(&Recorder::needsOn));
        behaviours_.addBack("always", {}, static_cast<Behaviour::Callback>(&Recorder::always));
    }
    int first(double) { return log.push_back("first"), stopAtFirst ? 1 : 0; }
    int second(double) { return log.push_back("second"), off.activate(), 0; }
    int needsOff(double) { return log.push_back("needs off"), 0; }
    int needsOn(double) { return log.push_back("needs on"), 0; }
    int always(double) { return log.push_back("always"), 0; }

    StateMachine gate{"gate"};
    State on{"on"}, off{"off"};
    std::vector<std::string> log;
    bool stopAtFirst = false;
};

} // namespace

TEST(BehaviourList, GuardsAreTakenAtTheStartAndCheckedAgainBeforeEachCall) {
    Recorder r;
    r.bindTest();
    // "second" turns "on" off and "off" on: "needs off" waits for the next step, "needs on"
    // is skipped at once.
    r.behaviourList().runBehaviours(0.01);
    EXPECT_EQ(r.log, (std::vector<std::string>{"first", "second", "always"}));
    r.log.clear();
    r.behaviourList().runBehaviours(0.01);
    EXPECT_EQ(r.log, (std::vector<std::string>{"first", "needs off", "always"}));
    // A callback returning 1 ends the step, unguarded behaviours included.
    r.log.clear();
    r.stopAtFirst = true;
    r.behaviourList().runBehaviours(0.01);
    EXPECT_EQ(r.log, (std::vector<std::string>{"first"}));
}

} // namespace game
