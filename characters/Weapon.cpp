#include "characters/Weapon.h"

namespace game {

void Weapon::setAngle(double degrees) {
    if (angle == degrees)
        return;
    angle = degrees;
    invalidate();
}

} // namespace game
