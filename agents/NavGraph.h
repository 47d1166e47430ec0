#pragma once

#include "gfx/Geometry.h"

#include <climits>
#include <deque>
#include <memory>
#include <string>
#include <vector>

namespace game {

class Object;
struct SurfacePoint;

// A place of the level, named for the overlays, the dumps and the tools.
class NavNode {
public:
    int index = 0;
    int x = -1;
    int y = -1;
    int boxWidth = 10;
    int boxHeight = 10;
    std::string name;

    // Square of 50 x 50 centred on the node, cached on first use.
    const gfx::RectI& hitRect();

private:
    gfx::RectI hitRect_{-999, -999, 50, 50};
};

// A directed walkway between two nodes, lying on a platform.
class NavEdge {
public:
    static constexpr int kUnset = -999;

    gfx::PointF fromPoint{kUnset, kUnset}; // integer values; -999 = the node's own coordinate
    gfx::PointF toPoint{kUnset, kUnset};
    int margin = 2;
    NavNode* from = nullptr;
    NavNode* to = nullptr;
    Object* platform = nullptr; // an edge exists exactly when this is set

    bool exists() const { return platform != nullptr; }
    // End points with -999 coordinates replaced by the nodes' coordinates.
    gfx::PointF start() const;
    gfx::PointF end() const;
    double cost() const;
    const gfx::RectI& hitRect();
    const gfx::RectF& extent();

private:
    gfx::RectI hitRect_{-999, 0, 1, 1};
    gfx::RectF extent_{-999.0f, 0, 1.0f, 1.0f};
};

// The level's navigation graph: the places the level adds, joined by directed edges that lie
// on platforms, with all shortest paths computed once after the level has registered.
class NavGraph {
public:
    NavGraph() = default;
    NavGraph(const NavGraph&) = delete;
    NavGraph& operator=(const NavGraph&) = delete;

    // A place the graph keeps, at the next index; the level holds on to what it gets back.
    NavNode& addNode(std::string name);
    // A place its owner keeps (a branch's), at the next index.
    void appendNode(NavNode& node);
    // The node with this name, or nullptr: for the tools and tests that name places. The game
    // holds its places by handle.
    NavNode* node(const std::string& name) const;
    NavNode& node(int index) const { return *nodeList_[static_cast<std::size_t>(index)]; }
    int nodeCount() const { return nodeCount_; }
    const std::vector<NavNode*>& nodes() const { return nodeList_; }

    // Sizes the edge matrix for every node appended so far. Edges already stored are kept,
    // and an edge call for a node appended later grows the tables first.
    void prepareTables();

    void addOneWayEdge(Object* platform, NavNode& a, gfx::PointF pointA, bool placeA, NavNode& b,
                       gfx::PointF pointB, bool placeB);
    void addTwoWayEdge(Object* platform, NavNode& a, gfx::PointF pointA, NavNode& b, gfx::PointF pointB,
                       double margin = 2.0);
    // Two-way edges between consecutive anchors; the list ends at the first record with no node.
    void addChain(Object* platform, const SurfacePoint* anchors);

    void computeAllPaths();

    // Shortest route from the edge an agent walks on to the goal node; empty if unreachable.
    std::deque<NavEdge*> planPath(NavEdge* current, int goal);
    NavNode* nodeAt(gfx::PointF p);
    NavEdge* nearestEdge(gfx::PointF p);
    NavEdge* edgeOnPlatform(const Object* platform, const gfx::RectF& r);
    NavEdge* reverseEdge(const NavEdge& e);
    // Matrix entry from node index to node index; check exists() before use.
    NavEdge& edge(int from, int to);
    const NavEdge& edge(int from, int to) const;

    const std::vector<NavEdge*>& edgeList() const { return edgeList_; }

    struct PathEntry {
        NavEdge* lastEdge = nullptr;
        int cost = INT_MAX;
    };
    // Shortest-path tree of a source: for every target the last edge and the cost. Empty for
    // an index outside the graph; entries are (none, INT_MAX) until computeAllPaths ran.
    const std::vector<PathEntry>& pathTable(int source) const;
    // Largest path cost from the source. 0 when nothing is reachable from it (a node that no
    // walkway touches) or only at zero cost: whoever divides by it must check first.
    double eccentricity(int source) const;

private:
    struct Outgoing {
        int target;
        NavEdge* edge;
        double cost;
    };
    double searchFrom(int source, const std::vector<std::vector<Outgoing>>& outgoing);
    void storeEdge(Object* platform, NavNode& a, gfx::PointF pointA, NavNode& b, gfx::PointF pointB,
                   int margin);

    std::deque<NavNode> ownNodes_; // a deque: the level keeps references into it
    std::vector<NavNode*> nodeList_;
    int nodeCount_ = 0;
    std::vector<NavEdge> matrix_; // nodeCount_ x nodeCount_
    std::vector<NavEdge*> edgeList_;
    std::vector<std::vector<PathEntry>> pathTables_;
    std::vector<double> eccentricity_;
};

} // namespace game
