#pragma once

#include "core/Clock.h"
#include "core/Translate.h"
#include "game/Renderer.h"
#include "game/WindowPort.h"
#include "scene/WorldHost.h"

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

namespace game {

class Button;
class EdgeHighlight;
class GameRoundup;
class GoalArrow;
class Ground;
class HelpPanel;
class Husband;
class LightSource;
class NavGraph;
class NodeHighlight;
class Object;
class Scene;
class ScoreKeeper;
class TelephonePole;
class TextBox;
class Wife;
class World;
// The house's storeys.
class Storey;

// The one top-level object: it holds the world the scene lives in (its registry of objects,
// graph, settings and random generator) together with the fixed scene itself, the frame cycle,
// the renderer and input. It hands the world to the scene at registration; the scene sees only
// that, and reaches the frame rate and the renderer's clearing through the world's host, which
// the game is. Building one is the whole start-up order: the world's graph first, then the
// scene, which reaches the graph only when it registers.
class Game final : public WorldHost {
public:
    // The seed starts the game's random generator: the same seed and input replay the same game.
    explicit Game(std::uint32_t seed);
    ~Game();
    Game(const Game&) = delete;
    Game& operator=(const Game&) = delete;

    // What the window layer must do after a key: nothing, quit, or show the About box.
    enum class KeyAction { None, Quit, ShowAbout };

    // Called once the window exists: registers the scene and solves the graph's paths.
    void attachWindow(WindowPort& window, core::Clock& clock);
    // One timer call; force runs a fixed 80 ms step even while paused.
    void tick(bool force);
    // Client-pixel coordinates. While paused, the highlights they move are painted at once.
    int onMouseMove(int x, int y);
    int onClick(int x, int y);
    // The same in world units, as toWorld gives them (recordings hold these).
    int onPointerMove(gfx::PointF world);
    int onPointerClick(gfx::PointF world);
    // A typed character (upper and lower case differ); Esc is 27. While paused, what the key
    // changed is painted at once.
    KeyAction onKey(char32_t ch);
    // F1, as a key of its own: a code point of Unicode's private use area, which no keyboard
    // types and recordings keep like any other key.
    static constexpr char32_t kHelpKey = 0xE001;
    // The help pauses the game; taken away, the game goes on as paused or not as it was.
    void showHelp(bool show);
    bool helpShown() const;
    // A keeper of the winning rounds' times, handed in once by the window's program; a game
    // without one (the headless runner) keeps and shows none.
    void keepScores(ScoreKeeper* keeper);
    // Restores the 800 : 584 aspect after a border drag; returns whether it resized.
    bool fitAspect(const gfx::RectI& oldClientRect);
    // Repaints; fromExpose is true when the window system asked for it (expose).
    void paint(bool fromExpose);
    void releaseBackBuffer();
    // What the renderer paints: the scene and the settings that change the picture.
    SceneView sceneView() const;
    // The world the scene registers in (scene/World.h).
    World& world() { return *world_; }
    const World& world() const { return *world_; }
    // The renderer clears where the object was at its next paint.
    void eraseLater(const gfx::RectF& lastBounds) override { renderer_.eraseLater(lastBounds); }

    // The speed button under a world point, if any; moves the buttons' glow to it.
    Button* buttonAt(gfx::PointF worldPoint);

    // The status box's text (key 'f': the platform label, frame rate or redraw statistics).
    void setStatusText(const std::string& text);

    // Mean rate of the recent timer calls; 0 while no interval has been measured.
    double framesPerSecond() const override;
    // "64.10 f/s": the rate cut to two decimals.
    static std::string formatFrameRate(double fps);

    // Window pixels per world unit.
    double scale() const { return renderer_.scale(); }
    // A client pixel in world units.
    gfx::PointF toWorld(int x, int y) const;
    const Renderer& renderer() const { return renderer_; }
    Renderer& renderer() { return renderer_; }
    // The fixed scene's parts (game/Scene.h holds them). A file that uses one includes that
    // part's header alone, so changing a storey or a figure rebuilds what uses it, not all that
    // knows the game.
    LightSource& light();
    const LightSource& light() const;
    Ground& ground();
    const Ground& ground() const;
    Storey& floorFirst();
    const Storey& floorFirst() const;
    Storey& floorSecond();
    const Storey& floorSecond() const;
    Storey& floorBasement();
    const Storey& floorBasement() const;
    Storey& roof();
    const Storey& roof() const;
    Storey& denRoof();
    const Storey& denRoof() const;
    // The pole that stands in no world: it only counts its branch's places. The one the figures
    // climb, with the cable, is the ground's (ground().telephonePole()).
    TelephonePole& telephonePole();
    const TelephonePole& telephonePole() const;
    Husband& husband();
    const Husband& husband() const;
    Wife& wife();
    const Wife& wife() const;
    GoalArrow& husbandGoal();
    const GoalArrow& husbandGoal() const;
    GoalArrow& wifeGoal();
    const GoalArrow& wifeGoal() const;
    NodeHighlight& nodeHighlight();
    const NodeHighlight& nodeHighlight() const;
    EdgeHighlight& edgeHighlight();
    const EdgeHighlight& edgeHighlight() const;
    GameRoundup& rules();
    const GameRoundup& rules() const;
    Button& slowButton();
    const Button& slowButton() const;
    Button& mildButton();
    const Button& mildButton() const;
    Button& fastButton();
    const Button& fastButton() const;
    TextBox& messageBox();
    const TextBox& messageBox() const;
    TextBox& pauseBox();
    const TextBox& pauseBox() const;
    TextBox& newBestBox();
    const TextBox& newBestBox() const;
    const HelpPanel& helpPanel() const;
    // Simulated frames so far (timer calls that advanced the scene).
    long long simulatedFrames() const { return frameCount_; }
    bool isAttached() const { return window_ != nullptr; }
    // The window's client area in device pixels (empty before attachWindow or while minimised).
    gfx::RectI clientRect() { return window_ != nullptr ? window_->clientRect() : gfx::RectI{}; }

    static constexpr int kWorldWidth = DirtyRectList::kWorldWidth;
    static constexpr int kWorldHeight = DirtyRectList::kWorldHeight;
    static constexpr double kAspect = DirtyRectList::kWorldAspect; // 800 / 584
    static constexpr double kInverseAspect = 0.73;                 // 584 / 800
    static constexpr double kStepThresholdUs = 9900.0;
    static constexpr double kMaxStepUs = 80000.0;
    static constexpr std::size_t frameSampleLimit = 50;

    static constexpr const char* kAboutTitle = core::trLater("About the game Hearthly");
    static constexpr const char* kAboutText = core::trLater(
        "Click anywhere to command Husband to walk to the blue target arrow in order to collect all socks "
        "while avoiding cats and the lovely Wife. Cats empty part of your sock collection and the wife sets "
        "you back one life.\n\nHit 'a' to turn off the annoying video game music I composed.\n\nF1 shows "
        "every key in the game.");

    // Settings of the game's own, changed by keys (the scene's are the world's).
    bool paintForcesFullRedraw = true;
    bool showDirtyRects = false;
    bool showRedrawnObjects = false;
    int selectedNode = 0;
    int navOverlay = 0;
    bool hoverNodes = false;
    // Cleared by the replay tool's --no-paint to time the simulation alone.
    bool paintEachFrame = true;

    // Frame timing.
    double counterFrequency = 0;
    std::int64_t lastFrameCounter = 0;
    std::deque<std::int32_t> frameSamples; // recent timer-call intervals, microseconds
    std::int64_t frameSampleSum = 0;
    int fpsRefreshCounter = 0;

private:
    void recordSample(double elapsedUs);
    void simulate(double dt);
    static void updatePass(const std::vector<Object*>& list, double dt);
    // The navigation highlights follow the pointer (world point).
    void hoverHighlights(gfx::PointF world);
    // No frames run while paused; a key, a click or a pointer move that changed the picture
    // shows at once.
    void paintWhilePaused();
    // After each frame: a round just won without a cheat goes to the score keeper, and the
    // best times under the buttons follow it.
    void keepScore();
    // The best times' labels join the scene.
    void showScores();

    // The world's graph and the world: declared before the scene, whose walkways point into
    // the graph and whose objects take themselves off the world's lists, so that they go after
    // it. Behind pointers, as the scene, so that a change to either rebuilds the files that use
    // it, not all that know the game.
    std::unique_ptr<NavGraph> graph_;
    std::unique_ptr<World> world_;
    WindowPort* window_ = nullptr;
    core::Clock* clock_ = nullptr;
    Renderer renderer_;
    long long frameCount_ = 0;
    // The fixed scene (game/Scene.h), built with the game and gone before the renderer.
    std::unique_ptr<Scene> scene_;
    ScoreKeeper* scores_ = nullptr;
    bool roundWasRunning_ = false;
    bool pausedBeforeHelp_ = false;
};

} // namespace game
