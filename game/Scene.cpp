#include "game/Scene.h"

// Built here, once, rather than in every file that holds a game: the parts' constructors and
// destructors are the heavy part of the scene's headers.
Scene::Scene() = default;
Scene::~Scene() = default;
