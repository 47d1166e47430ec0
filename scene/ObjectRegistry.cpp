#include "scene/ObjectRegistry.h"

#include <algorithm>

namespace game {

void ObjectRegistry::addOnce(List list, Object* object) {
    std::vector<Object*>& objects = listOf(list);
    if (std::find(objects.begin(), objects.end(), object) == objects.end())
        objects.push_back(object);
}

void ObjectRegistry::remove(List list, const Object* object) {
    std::erase(listOf(list), object);
}

std::vector<Object*>& ObjectRegistry::listOf(List list) {
    switch (list) {
    case List::Draw:
        return drawList_;
    case List::Agent:
        return agentList_;
    case List::Platform:
        return platformList_;
    case List::Object:
        return objectList_;
    case List::Animal:
        return animalList_;
    }
    return objectList_;
}

} // namespace game
