#pragma once

#include "agents/Animal.h"
#include "characters/AnimationState.h"
#include "characters/CarryState.h"
#include "characters/KeyframeTable.h"
#include "gfx/PathIterator.h"

namespace game {

class Weapon;

// An animal drawn as an animated stick figure: four limbs driven by key-frame cycles, a pose
// per animation state with short blends between poses, and a head and body that each kind of
// character adds and paints its own way. Figure coordinates are relative to the position,
// which is the hip: feet about 30 below it, shoulders 15 above, the head higher still.
class Person : public Animal {
public:
    Person();

    std::string typeName() const override { return "Person"; }
    // The body's step, then the time since the last touch runs on (unscaled).
    void update(double dt) override;
    // Strokes the four limbs with the pen and hands the rest of the figure to drawBody.
    void draw(gfx::Graphics& g) override;
    void rebuildPath() override;

    // Chooses the pose for this step, runs its clocks or the blend into it ("update_anim").
    virtual int updateAnimation(double dt);
    // Keeps a carried weapon at the hand ("adjust_weapon_loc").
    virtual int placeCarriedWeapon(double dt);
    virtual Pose idlePose(const AnimationState& s, bool facingRight) const;
    virtual Pose fallPose(const AnimationState& s, bool facingRight) const;
    virtual Pose walkPose(const AnimationState& s, bool facingRight) const;
    virtual Pose climbPose(const AnimationState& s, bool facingRight) const;
    virtual Pose hangPose(const AnimationState& s, bool facingRight) const;
    // Whether the pose moves this step: time-driven poses always, walking and climbing only
    // while their gait clock runs.
    virtual bool shouldAnimate(const AnimationState& s, double strideRate, double climbRate) const;
    // Paints the figures after the four limbs.
    virtual void drawBody(gfx::Graphics& g, gfx::PathIterator& figures) = 0;
    // Adds the head and body figures to the path (in figure coordinates).
    virtual void addBody() = 0;

    // Puts the weapon in the hand; it follows the hand from the next step on.
    void carry(Weapon& weapon);
    // Empty-handed again; the weapon stays where it was last put.
    void carryNothing();
    Weapon* carriedWeapon() const { return carryWeapon_.weapon; }

    // Set and cleared by the game rules; a change restarts touchedTime and redraws.
    void setTouched(bool value);
    bool isTouched() const { return touched_; }
    double touchedTime() const { return touchedTime_; }
    // 1 facing right, 0 facing left.
    int facing() const { return facing_; }
    // First point of the second arm at the last outline rebuild, in figure coordinates.
    gfx::PointF handOffset() const { return handOffset_; }
    void setFigureScale(float sx, float sy);
    void setPenWidth(float width);
    // Draws the figure in one flat colour (a silhouette), then restores its own colours.
    void drawSilhouette(gfx::Graphics& g, gfx::Argb colour);
    const AnimationState& currentAnimation() const;
    double blendTime() const { return blendTime_; }
    double blendProgress() const { return blendProgress_; }

    static constexpr float kPenWidth = 4.0f;
    static constexpr int kLimbCount = 4;

protected:
    // The pose the current animation state shows.
    Pose currentPose() const;
    // A limb's points on its way from the old pose to the new one.
    static LimbPoints blendLimb(const LimbEntry& from, const LimbEntry& to, double progress);

    AnimationMachine animation_;
    AnimationState animIdle_{"anim_idle", 0.3};
    AnimationState animFall_{"anim_fall", 0.5};
    AnimationState animWalk_{"anim_walk", 0.4};
    AnimationState animClimb_{"anim_climb", 0.0};
    AnimationState animVertIdle_{"anim_vert_idle", 0.5};
    int facing_ = 0;
    Pose previousLimbs_{};
    double blendTime_ = 0;
    double blendProgress_ = 0;
    gfx::PointF handOffset_;
    CarryMachine carrying_;
    State carryNone_{"carry_none"};
    CarryWeaponState carryWeapon_;
    bool touched_ = false;
    double touchedTime_ = 0;
    gfx::PointF figureScale_{1, 1};

private:
    gfx::PathIterator figureWalker_; // reused by every draw
};

} // namespace game
