#include "characters/Person.h"

#include "characters/PersonLimbs.h"
#include "characters/Weapon.h"
#include "gfx/Graphics.h"
#include "scene/Platform.h"

#include <cmath>

namespace game {

namespace {

using C = Behaviour::Callback;

} // namespace

void AnimationMachine::bind(BehaviourList& list) {
    StateMachine::bind(list);
    list.addBack("update_anim", {}, static_cast<C>(&Person::updateAnimation));
}

std::string CarryWeaponState::describe() const {
    return weapon != nullptr ? " weapon: " + weapon->typeName() : std::string{};
}

void CarryMachine::bind(BehaviourList& list) {
    StateMachine::bind(list);
    list.addBack("adjust_weapon_loc", {carrying}, static_cast<C>(&Person::placeCarriedWeapon));
}

Person::Person() {
    body_.addParallel(animation_);
    for (AnimationState* s : {&animIdle_, &animFall_, &animWalk_, &animClimb_, &animVertIdle_})
        animation_.addChild(*s);
    body_.addParallel(carrying_);
    carrying_.addChild(carryNone_);
    carrying_.addChild(carryWeapon_);
    carrying_.carrying = &carryWeapon_;
    // The figure has a pose to show even before the game starts its states.
    animation_.reset();
    carrying_.reset();

    x_ = 500;
    y_ = 250;
    pen_.setStartCap(gfx::LineCap::Round);
    pen_.setEndCap(gfx::LineCap::Round);
    pen_.setWidth(kPenWidth);
    pen_.setAlignment(gfx::PenAlignment::Inset);
}

void Person::update(double dt) {
    Agent::update(dt);
    touchedTime_ += dt;
}

const AnimationState& Person::currentAnimation() const {
    const State* s = animation_.current();
    return s != nullptr ? static_cast<const AnimationState&>(*s) : animIdle_;
}

int Person::updateAnimation(double dt) {
    const State* before = animation_.current();
    const float vx = body_.velocity.x;
    const float vy = body_.velocity.y;
    if (vx > 0)
        facing_ = 1;
    else if (vx < 0)
        facing_ = 0;

    // On a ladder a person who is not climbing hangs; off the ground without a walk it falls.
    // A walker thrown off its path keeps its gait until it really drops.
    const Platform* p = platform();
    const bool onLadder = isAttached() && p != nullptr && p->isVertical();
    AnimationState* chosen = nullptr;
    if (!walk_.isActive()) {
        if (isDetached())
            chosen = &animFall_;
        else if (onLadder)
            chosen = &animVertIdle_;
        else
            chosen = &animIdle_;
    } else if (isAttached()) {
        chosen = onLadder ? &animClimb_ : &animWalk_;
    } else {
        chosen = offPath_.isActive() && vy > 30 ? &animFall_ : &animWalk_;
    }
    chosen->activate();

    auto& now = static_cast<AnimationState&>(*animation_.current());
    if (blendTime_ != 0 || &now != before) {
        // While blending into the new pose its clocks stand still.
        blendTime_ += dt;
        invalidate();
    } else {
        const double strideRate = std::abs(vx) / 70.0;
        const double climbRate = std::abs(vy) * 0.03125;
        now.timeClock += dt;
        now.strideClock += dt * strideRate;
        now.climbClock += dt * climbRate;
        if (shouldAnimate(now, strideRate, climbRate))
            invalidate();
    }

    blendProgress_ = 0;
    if (blendTime_ != 0) {
        if (!(blendTime_ <= now.blendDuration))
            blendTime_ = 0; // the blend is over
        else
            blendProgress_ = blendTime_ / now.blendDuration;
    }
    for (double* clock : {&now.timeClock, &now.strideClock, &now.climbClock})
        if (*clock < 0)
            *clock = 0;
    return 0;
}

int Person::placeCarriedWeapon(double) {
    Weapon* weapon = carryWeapon_.weapon;
    if (weapon == nullptr)
        return 0;
    // The handle sits just below the hand, the head pointing up from it.
    weapon->setPosition(x_ + handOffset_.x, y_ + handOffset_.y + 8);
    weapon->invalidate();
    return 0;
}

bool Person::shouldAnimate(const AnimationState& s, double strideRate, double climbRate) const {
    if (&s == &animWalk_)
        return strideRate != 0;
    if (&s == &animClimb_)
        return climbRate != 0;
    return true;
}

Pose Person::idlePose(const AnimationState& s, bool facingRight) const {
    using namespace person_limbs;
    const double t = s.timeClock;
    return {{{idleArm, t, true, facingRight},
             {idleArm, t, false, !facingRight},
             {idleLeg, t, true, !facingRight},
             {idleLeg, t, false, facingRight}}};
}

Pose Person::fallPose(const AnimationState& s, bool facingRight) const {
    using namespace person_limbs;
    return {{{fallingArm, s.timeClock, true, false},
             {fallingArm, s.timeClock, true, true},
             {walkingLeg, s.strideClock, true, facingRight},
             {walkingLeg, s.strideClock, false, facingRight}}};
}

Pose Person::walkPose(const AnimationState& s, bool facingRight) const {
    return gait(person_limbs::walkingArm, person_limbs::walkingLeg, s.strideClock, facingRight);
}

Pose Person::climbPose(const AnimationState& s, bool) const {
    using namespace person_limbs;
    const double t = s.climbClock;
    return {{{climbingArm, t, true, false},
             {climbingArm, t, false, true},
             {climbingLeg, t, true, false},
             {climbingLeg, t, false, true}}};
}

Pose Person::hangPose(const AnimationState& s, bool) const {
    using namespace person_limbs;
    const double t = s.climbClock;
    return {{{climbingArm, t, true, false},
             {wavingArm, s.timeClock, false, true},
             {climbingLeg, t, true, false},
             {climbingLeg, t, false, true}}};
}

Pose Person::currentPose() const {
    const AnimationState& s = currentAnimation();
    const bool facingRight = facing_ == 1;
    if (&s == &animVertIdle_)
        return hangPose(s, facingRight);
    if (&s == &animFall_)
        return fallPose(s, facingRight);
    if (&s == &animWalk_)
        return walkPose(s, facingRight);
    if (&s == &animClimb_)
        return climbPose(s, facingRight);
    return idlePose(s, facingRight);
}

LimbPoints Person::blendLimb(const LimbEntry& from, const LimbEntry& to, double progress) {
    const LimbPoints a = from.evaluate();
    const LimbPoints b = to.evaluate();
    // A two-key cycle from the old points to the new ones, run with the blend's progress.
    std::array<Keyframe, 2> keys{};
    keys[0].time = 0;
    keys[1].time = 0.9;
    for (std::size_t i = 0; i < a.size(); ++i) {
        keys[0].points[i] = {a[i].x, a[i].y};
        keys[1].points[i] = {b[i].x, b[i].y};
    }
    return interpolateKeyframes(KeyframeTable{"blend", keys}, progress, 1, 0);
}

void Person::rebuildPath() {
    path_.reset();
    const Pose pose = currentPose();
    // A figure never drawn before has no old pose to blend from: it shows the new one.
    if (blendProgress_ == 0 || previousLimbs_[0].limb == nullptr)
        previousLimbs_ = pose;
    const bool blending = blendProgress_ != 0;
    for (int k = 0; k < kLimbCount; ++k) {
        const LimbPoints points =
            blending ? blendLimb(previousLimbs_[k], pose[k], blendProgress_) : pose[k].evaluate();
        path_.startFigure();
        path_.addLines(points);
        if (k == 1)
            handOffset_ = points[0];
    }
    addBody();

    // Figure points are scaled first, then moved to the position.
    gfx::Matrix m;
    m.translate(x_, y_);
    m.scale(figureScale_.x, figureScale_.y);
    path_.transform(m);
    clearShapeDirty();
}

void Person::draw(gfx::Graphics& g) {
    figureWalker_.restart(path_);
    for (int k = 0; k < kLimbCount && figureWalker_.next(); ++k)
        g.drawPath(pen_, figureWalker_.figure());
    drawBody(g, figureWalker_);
}

void Person::carry(Weapon& weapon) {
    carryWeapon_.weapon = &weapon;
    carryWeapon_.activate();
}

void Person::carryNothing() {
    carryNone_.activate();
}

void Person::setTouched(bool value) {
    if (touched_ == value)
        return;
    touched_ = value;
    touchedTime_ = 0;
    invalidate();
}

void Person::setPenWidth(float width) {
    pen_.setWidth(width);
    invalidate();
}

void Person::drawSilhouette(gfx::Graphics& g, gfx::Argb colour) {
    const gfx::Argb penColour = pen_.color();
    const gfx::Argb fillColour = fillBrush_.color();
    pen_.setColor(colour);
    fillBrush_.setColor(colour);
    draw(g);
    pen_.setColor(penColour);
    fillBrush_.setColor(fillColour);
}

void Person::setFigureScale(float sx, float sy) {
    if (figureScale_.x == sx && figureScale_.y == sy)
        return;
    figureScale_ = {sx, sy};
    invalidate();
}

} // namespace game
