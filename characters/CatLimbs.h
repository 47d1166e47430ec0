#pragma once

#include "characters/KeyframeTable.h"

namespace game {

// The cat's leg cycles, one cycle per clock unit. Point 0 is the shoulder or hip. The figure faces left:
// front legs near x -17, hind legs near x +5 to +13.
namespace cat_limbs {

LimbPoints frontLeg(double clock, bool leading);
LimbPoints hindLegIdle(double clock, bool leading);
LimbPoints hindLegWalking(double clock, bool leading);
LimbPoints frontLegFalling(double clock, bool leading);
LimbPoints hindLegFalling(double clock, bool leading);

} // namespace cat_limbs

} // namespace game
