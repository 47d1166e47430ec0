#pragma once

#include "characters/Husband.h"
#include "characters/Wife.h"
#include "core/Clock.h"
#include "game/Renderer.h"
#include "game/WindowPort.h"
#include "level/EdgeHighlight.h"
#include "level/GoalArrow.h"
#include "level/Ground.h"
#include "level/LightSource.h"
#include "level/NodeHighlight.h"
#include "level/Storey.h"
#include "level/TelephonePole.h"
#include "rules/GameRoundup.h"
#include "scene/World.h"
#include "widgets/Button.h"
#include "widgets/TextBox.h"

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

namespace game {

class Object;

// The one top-level object: the world the scene lives in (its registration lists, graph and
// settings) together with the fixed scene itself, the frame cycle, the renderer and input.
// Being the world, it hands itself to the scene at registration; the scene sees only that part.
// Building one is the whole start-up order: the world's graph first, then the scene, which
// reaches the graph only when it registers.
class Game : public World {
public:
    Game();
    ~Game() override;
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
    // Restores the 800 : 584 aspect after a border drag; returns whether it resized.
    bool fitAspect(const gfx::RectI& oldClientRect);
    // Repaints; fromExpose is true when the window system asked for it (expose).
    void paint(bool fromExpose);
    void releaseBackBuffer();

    // The speed button under a world point, if any; moves the buttons' glow to it.
    Button* buttonAt(gfx::PointF worldPoint);

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
    // Simulated frames so far (timer calls that advanced the scene).
    long long simulatedFrames() const { return frameCount; }
    bool isAttached() const { return window != nullptr; }
    // The window's client area in device pixels (empty before attachWindow or while minimised).
    gfx::RectI clientRect() { return window != nullptr ? window->clientRect() : gfx::RectI{}; }

    static constexpr int kWorldWidth = 800;
    static constexpr int kWorldHeight = 584;
    static constexpr double kAspect = 1.36986301369863; // 800 / 584
    static constexpr double kInverseAspect = 0.73;      // 584 / 800
    static constexpr double kStepThresholdUs = 9900.0;
    static constexpr double kMaxStepUs = 80000.0;
    static constexpr std::size_t frameSampleLimit = 50;

    static constexpr const char* kAboutTitle = "About the game Hearthly";
    static constexpr const char* kAboutText =
        "Click anywhere to command Husband to walk to the blue target arrow in order to collect all socks "
        "while avoiding cats and the lovely Wife. Cats empty part of your sock collection and the wife sets "
        "you back one life.\n\nHit 'a' to turn off the annoying video game music I composed.";

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
    static void updatePass(std::vector<Object*>& list, double dt);
    // The navigation highlights follow the pointer (world point).
    void hoverHighlights(gfx::PointF world);
    // No frames run while paused; a key, a click or a pointer move that changed the picture
    // shows at once.
    void paintWhilePaused();

    WindowPort* window = nullptr;
    core::Clock* clock = nullptr;
    Renderer renderer_;
    long long frameCount = 0;

public:
    // The fixed scene, in construction order (the world's lists outlive it, so objects leaving
    // the scene in their destructors still find them). Which storey carries which goes into
    // the world's storeys before anything registers.
    LightSource light;
    Ground ground;
    Storey floorFirst{Storey::firstFloor};
    Storey floorSecond{Storey::secondFloor};
    Storey floorBasement{Storey::basement};
    Storey roof{Storey::roof};
    Storey denRoof{Storey::denRoof};
    // Built but never registered, drawn or updated; its branch's three nodes still count in
    // the graph and stay unplaced.
    TelephonePole telephonePole;
    Husband husband;
    Wife wife;
    // Where each of them is walking: blue for him, red for her.
    GoalArrow husbandGoal{husband};
    GoalArrow wifeGoal{wife};
    NodeHighlight nodeHighlight;
    EdgeHighlight edgeHighlight;
    // The round: socks, cats, lives, counters; the cats roam from the start.
    GameRoundup rules{RoundCast{husband, wife, husbandGoal, {&slowButton, &mildButton, &fastButton}}};
    Button slowButton{0x80dddd80, 0x80808080};
    Button mildButton{0x80dddd80, 0x80808080};
    Button fastButton{0x80dddd80, 0x80808080};
    // The status text box: platform label, frame rate or redraw statistics (key 'f').
    TextBox messageBox{0x80dddd80, 0x80808080};
    // "PAUSED" in the middle of the world while the game is paused, in front of everything
    // else: a full-screen player sees no title bar.
    TextBox pauseBox{0x80dddd80, 0x80808080};
};

} // namespace game
