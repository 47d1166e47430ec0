#include "characters/Weapon.h"

void Weapon::setAngle(double degrees) {
    if (angle == degrees)
        return;
    angle = degrees;
    invalidate();
}
