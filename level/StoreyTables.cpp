// The five storeys of the house, side by side: what each one looks like, owns and carries.

#include "level/Storey.h"
#include "scene/World.h"

#include <array>

namespace game {

namespace {

// The basement floor at the bottom of the house, with the ladder up to the first floor, the
// two walls that stop walkers and two trampolines. The ground carries it.
// A 4-pixel slab from x 250 to 550 at the bottom of the world.
constexpr std::array<gfx::PointF, 5> kBasementDesign = {{{0, 0}, {300, 0}, {300, 4}, {0, 4}, {0, 0}}};
constexpr auto kBasementOutline = MovablePlatform::placed(kBasementDesign, {250, 574});
constexpr gfx::RectF kBasementWalls[] = {{250, 490, 10, 80}, {540, 538, 10, 32}};
constexpr StoreyTrampoline kBasementTrampolines[] = {
    {{290, 569, 40, 10}, 0xFFFF4040, 5.0, 400.0},
    {{480, 569, 40, 10}, 0xFFFF4040, 5.0, 400.0},
};
constexpr PlacePoint kBasementWalkway[] = {
    {Place::BasementLeft, 250, 574},
    {Place::BasementAndBasementLadder, -999, 574},
    {Place::BasementRight, 550, 574},
};

// The first floor: a 10-pixel slab from x 150 to 550, a ramp down to the garden at (620, 535)
// on the right and a short step down to x 120 on the left, the ladder up to the second floor
// and two see-through walls.
constexpr std::array<gfx::PointF, 9> kFirstDesign = {
    {{0, 0}, {400, 0}, {470, 90}, {460, 90}, {400, 10}, {0, 10}, {-20, 17}, {-30, 17}, {0, 0}}};
constexpr auto kFirstOutline = MovablePlatform::placed(kFirstDesign, {150, 445});
constexpr gfx::RectF kFirstWalls[] = {{150, 356, 10, 85}, {540, 321, 10, 120}};
constexpr PlacePoint kFirstWalkway[] = {
    {Place::GroundAndFirstFloorLeft, 120, 462},        {Place::FirstFloorAndBasementLadder, -999, 445},
    {Place::FirstFloorAndFirstFloorLadder, -999, 445}, {Place::FirstFloorRightAngle, 550, 445},
    {Place::GroundAndFirstFloorRight, 620, 535},
};

// The second floor, a 10-pixel slab from x 250 to 550, with its two see-through walls.
constexpr std::array<gfx::PointF, 5> kSecondDesign = {{{0, 0}, {300, 0}, {300, 10}, {0, 10}, {0, 0}}};
constexpr auto kSecondOutline = MovablePlatform::placed(kSecondDesign, {250, 300});
constexpr gfx::RectF kSecondWalls[] = {{250, 216, 10, 80}, {540, 216, 10, 80}};
constexpr PlacePoint kSecondWalkway[] = {
    {Place::SecondFloorLeft, 250, 292},
    {Place::SecondFloorAndFirstFloorLadder, -999, 300},
    {Place::SecondFloorRight, 550, 292},
};

// The lean-to roof of the den on the left of the house, rising from (140, 340) to the house
// wall at (250, 320).
constexpr std::array<gfx::PointF, 6> kDenDesign = {
    {{0, 0}, {50, -10}, {110, -20}, {110, -10}, {0, 10}, {0, 0}}};
constexpr auto kDenOutline = MovablePlatform::placed(kDenDesign, {140, 340});
constexpr PlacePoint kDenWalkway[] = {
    {Place::DenRoofLeft, 140, 340},
    {Place::DenRoofMiddle, 190, 330},
    {Place::DenRoofRight, 250, 320},
};

// The gabled roof of the house: 10 pixels thick with its ridge at (400, 150) and its eaves at y 200.
constexpr std::array<gfx::PointF, 8> kRoofDesign = {
    {{-10, 0}, {150, -50}, {230, -25}, {310, 0}, {310, 10}, {150, -40}, {-10, 10}, {-10, 0}}};
constexpr auto kRoofOutline = MovablePlatform::placed(kRoofDesign, {250, 200});
constexpr PlacePoint kRoofWalkway[] = {
    {Place::RoofLeft, 240, 200},
    {Place::RoofMiddle, 400, 150},
    {Place::RoofTreeLanding, 480, 175},
    {Place::RoofRight, 560, 200},
};

} // namespace

constinit const StoreyTable Storey::basement{
    .name = "FloorBasement",
    .outline = kBasementOutline,
    .penColour = 0xAA403040,
    .fillColour = 0xFF201020,
    .carries = &Storeys::firstFloor,
    .ladder = {"basement_ladder", 350, 554, 20, 160, 10, Place::BasementAndBasementLadder,
               Place::FirstFloorAndBasementLadder},
    .walls = kBasementWalls,
    .wallPenColour = 0xAA403040,
    .wallFillColour = 0xFF201020,
    // Only the basement walls stop walkers.
    .wallsStopWalkers = true,
    .trampolines = kBasementTrampolines,
    .walkway = kBasementWalkway,
    .support = {250, 550, 574},
};

constinit const StoreyTable Storey::firstFloor{
    .name = "FloorFirst",
    .outline = kFirstOutline,
    .penColour = 0xAA205030,
    .fillColour = 0xFF103020,
    .carries = &Storeys::secondFloor,
    .ladder = {"first_floor_ladder", 450, 425, 20, 175, 11, Place::FirstFloorAndFirstFloorLadder,
               Place::SecondFloorAndFirstFloorLadder},
    .walls = kFirstWalls,
    .wallPenColour = 0x18205030,
    .wallFillColour = 0x55103020,
    .walkway = kFirstWalkway,
    .support = {120, 620, 535},
};

constinit const StoreyTable Storey::secondFloor{
    .name = "FloorSecond",
    .outline = kSecondOutline,
    .penColour = 0xAA203060,
    .fillColour = 0xFF102030,
    .carries = &Storeys::denRoof,
    .walls = kSecondWalls,
    .wallPenColour = 0x40203060,
    .wallFillColour = 0x80102030,
    .walkway = kSecondWalkway,
    // From the left end a walker drops onto the den roof below.
    .drop = StoreyDrop{Place::SecondFloorLeft, Place::DenRoofMiddle},
    .support = {250, 550, 300},
};

constinit const StoreyTable Storey::denRoof{
    .name = "DenRoof",
    .outline = kDenOutline,
    .penColour = 0xAA303030,
    .fillColour = 0xFF202020,
    .carries = &Storeys::roof,
    .walkway = kDenWalkway,
    // Off the low end down into the garden.
    .drop = StoreyDrop{Place::DenRoofLeft, Place::GroundLanding},
    .support = {140, 250, 340},
};

constinit const StoreyTable Storey::roof{
    .name = "Roof",
    .outline = kRoofOutline,
    .penColour = 0xAA303030,
    .fillColour = 0xFF202020,
    .walkway = kRoofWalkway,
    // Off the left eave onto the den roof.
    .drop = StoreyDrop{Place::RoofLeft, Place::DenRoofMiddle},
    .support = {240, 560, 200},
};

} // namespace game
