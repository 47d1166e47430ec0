#include "game/Scene.h"

#include "game/Game.h"

namespace game {

// Built here, once, rather than in every file that holds a game: the parts' constructors and
// destructors are the heavy part of the scene's headers.
Scene::Scene() = default;
Scene::~Scene() = default;

// The game hands out the parts one by one, so that their users need only their own headers.
LightSource& Game::light() {
    return scene_->light;
}
const LightSource& Game::light() const {
    return scene_->light;
}
Ground& Game::ground() {
    return scene_->ground;
}
const Ground& Game::ground() const {
    return scene_->ground;
}
Storey& Game::floorFirst() {
    return scene_->floorFirst;
}
const Storey& Game::floorFirst() const {
    return scene_->floorFirst;
}
Storey& Game::floorSecond() {
    return scene_->floorSecond;
}
const Storey& Game::floorSecond() const {
    return scene_->floorSecond;
}
Storey& Game::floorBasement() {
    return scene_->floorBasement;
}
const Storey& Game::floorBasement() const {
    return scene_->floorBasement;
}
Storey& Game::roof() {
    return scene_->roof;
}
const Storey& Game::roof() const {
    return scene_->roof;
}
Storey& Game::denRoof() {
    return scene_->denRoof;
}
const Storey& Game::denRoof() const {
    return scene_->denRoof;
}
TelephonePole& Game::telephonePole() {
    return scene_->telephonePole;
}
const TelephonePole& Game::telephonePole() const {
    return scene_->telephonePole;
}
Husband& Game::husband() {
    return scene_->husband;
}
const Husband& Game::husband() const {
    return scene_->husband;
}
Wife& Game::wife() {
    return scene_->wife;
}
const Wife& Game::wife() const {
    return scene_->wife;
}
GoalArrow& Game::husbandGoal() {
    return scene_->husbandGoal;
}
const GoalArrow& Game::husbandGoal() const {
    return scene_->husbandGoal;
}
GoalArrow& Game::wifeGoal() {
    return scene_->wifeGoal;
}
const GoalArrow& Game::wifeGoal() const {
    return scene_->wifeGoal;
}
NodeHighlight& Game::nodeHighlight() {
    return scene_->nodeHighlight;
}
const NodeHighlight& Game::nodeHighlight() const {
    return scene_->nodeHighlight;
}
EdgeHighlight& Game::edgeHighlight() {
    return scene_->edgeHighlight;
}
const EdgeHighlight& Game::edgeHighlight() const {
    return scene_->edgeHighlight;
}
GameRoundup& Game::rules() {
    return scene_->rules;
}
const GameRoundup& Game::rules() const {
    return scene_->rules;
}
Button& Game::slowButton() {
    return scene_->slowButton;
}
const Button& Game::slowButton() const {
    return scene_->slowButton;
}
Button& Game::mildButton() {
    return scene_->mildButton;
}
const Button& Game::mildButton() const {
    return scene_->mildButton;
}
Button& Game::fastButton() {
    return scene_->fastButton;
}
const Button& Game::fastButton() const {
    return scene_->fastButton;
}
TextBox& Game::messageBox() {
    return scene_->messageBox;
}
const TextBox& Game::messageBox() const {
    return scene_->messageBox;
}
TextBox& Game::pauseBox() {
    return scene_->pauseBox;
}
const TextBox& Game::pauseBox() const {
    return scene_->pauseBox;
}
TextBox& Game::newBestBox() {
    return scene_->newBestBox;
}
const TextBox& Game::newBestBox() const {
    return scene_->newBestBox;
}
const HelpPanel& Game::helpPanel() const {
    return scene_->helpPanel;
}

} // namespace game
