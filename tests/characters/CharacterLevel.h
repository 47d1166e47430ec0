#pragma once

#include "../level/LevelFixture.h"
#include "characters/Person.h"
#include "scene/World.h"

#include <memory>
#include <vector>

namespace game {

namespace testing_characters {

// The real level with characters of the test's own making, registered the way the game
// registers its own. They leave the game's lists again before they are destroyed.
struct CharacterLevel : testing_level::Level {
    explicit CharacterLevel(std::uint32_t seed = 1) : Level(seed) {}
    ~CharacterLevel() {
        using List = ObjectRegistry::List;
        for (auto& object : objects)
            for (const List list : {List::Draw, List::Agent, List::Object, List::Animal})
                game->world().objects().remove(list, object.get());
    }

    template <typename T, typename... Args> T& add(Args&&... args) {
        auto object = std::make_unique<T>(std::forward<Args>(args)...);
        T& ref = *object;
        objects.push_back(std::move(object));
        ref.registerInGame(game->world());
        return ref;
    }

    // Runs 10 ms frames until done() holds; false when it never did within the limit.
    template <typename Done> bool runUntil(Done done, int frameLimit = 3000) {
        for (int i = 0; i < frameLimit; ++i) {
            if (done())
                return true;
            frame(0.01);
        }
        return done();
    }

    // Lets a person fall from where it stands and waits until it stands idle on a floor,
    // then a second more while it settles from its falling pose onto its feet.
    bool land(Person& p) {
        const bool landed = runUntil([&] {
            return p.isAttached() && p.isIdle() && p.currentAnimation().name == "anim_idle" &&
                   p.blendTime() == 0;
        });
        host.run(100);
        return landed;
    }

    std::vector<std::unique_ptr<Object>> objects;
};

} // namespace testing_characters

} // namespace game
