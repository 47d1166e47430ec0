#include "characters/Weapon.h"

namespace game {

void Weapon::setAngle(double degrees) {
    if (angle_ == degrees)
        return;
    angle_ = degrees;
    invalidate();
}

} // namespace game
