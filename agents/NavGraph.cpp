#include "agents/NavGraph.h"

#include "scene/Platform.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <utility>

namespace game {

namespace {

// Edges whose ends leave this box (the world with a 2-pixel rim) are wrap-around jumps.
bool onScreen(gfx::PointF p) {
    return p.x >= -2 && p.x <= 802 && p.y >= -2 && p.y <= 586;
}

bool isGiven(gfx::PointF p) {
    return p.x != NavEdge::kUnset && p.y != NavEdge::kUnset;
}

// An edge's end point with each unset coordinate taken from its node.
gfx::PointF atNode(gfx::PointF p, const NavNode* node) {
    if (node != nullptr) {
        if (p.x == NavEdge::kUnset)
            p.x = static_cast<float>(node->x);
        if (p.y == NavEdge::kUnset)
            p.y = static_cast<float>(node->y);
    }
    return p;
}

double distance(gfx::PointF a, gfx::PointF b) {
    return std::hypot(double{a.x} - b.x, double{a.y} - b.y);
}

} // namespace

const gfx::RectI& NavNode::hitRect() {
    if (hitRect_.x == -999)
        hitRect_ = {x - 25, y - 25, 50, 50};
    return hitRect_;
}

gfx::PointF NavEdge::start() const {
    return atNode(fromPoint, from);
}

gfx::PointF NavEdge::end() const {
    return atNode(toPoint, to);
}

double NavEdge::cost() const {
    const gfx::PointF a = start();
    const gfx::PointF b = end();
    const int dx = static_cast<int>(b.x) - static_cast<int>(a.x);
    const int dy = static_cast<int>(b.y) - static_cast<int>(a.y);
    const double length = std::sqrt(static_cast<double>(dx) * dx + static_cast<double>(dy) * dy);
    // Leaving the screen is allowed but should be the last resort of a route.
    return onScreen(a) && onScreen(b) ? length : length * 12;
}

const gfx::RectI& NavEdge::hitRect() {
    if (hitRect_.x == -999) {
        const gfx::PointF a = start();
        const gfx::PointF b = end();
        const int ax = static_cast<int>(a.x), ay = static_cast<int>(a.y);
        const int bx = static_cast<int>(b.x), by = static_cast<int>(b.y);
        hitRect_ = {std::min(ax, bx) - margin, std::min(ay, by) - margin, std::abs(bx - ax) + 2 * margin,
                    std::abs(by - ay) + 2 * margin};
    }
    return hitRect_;
}

const gfx::RectF& NavEdge::extent() {
    if (extent_.x == -999.0f) {
        const gfx::PointF ends[] = {start(), end()};
        extent_ = gfx::extentOf(ends).rect();
    }
    return extent_;
}

NavNode& NavGraph::addNode(std::string name) {
    NavNode& node = ownNodes_.emplace_back();
    node.name = std::move(name);
    appendNode(node);
    return node;
}

void NavGraph::appendNode(NavNode& node) {
    node.index = static_cast<int>(nodeList_.size());
    nodeList_.push_back(&node);
}

NavNode* NavGraph::node(const std::string& name) const {
    for (NavNode* n : nodeList_)
        if (n->name == name)
            return n;
    return nullptr;
}

void NavGraph::prepareTables() {
    const int count = static_cast<int>(nodeList_.size());
    if (count == nodeCount_)
        return;
    // Normally this runs once before any edge exists. Should a node arrive later, the
    // matrix grows and keeps the edges it holds, so no edge call can write out of bounds.
    std::vector<NavEdge> grown(static_cast<std::size_t>(count) * static_cast<std::size_t>(count));
    for (int a = 0; a < nodeCount_; ++a)
        for (int b = 0; b < nodeCount_; ++b)
            grown[static_cast<std::size_t>(a * count + b)] =
                matrix_[static_cast<std::size_t>(a * nodeCount_ + b)];
    for (NavEdge*& e : edgeList_)
        e = &grown[static_cast<std::size_t>(e->from->index * count + e->to->index)];
    matrix_ = std::move(grown);
    nodeCount_ = count;
    pathTables_.assign(static_cast<std::size_t>(count),
                       std::vector<PathEntry>(static_cast<std::size_t>(count)));
    eccentricity_.assign(static_cast<std::size_t>(count), 0.0);
}

NavEdge& NavGraph::edge(int from, int to) {
    return matrix_[static_cast<std::size_t>(from) * static_cast<std::size_t>(nodeCount_) +
                   static_cast<std::size_t>(to)];
}

const NavEdge& NavGraph::edge(int from, int to) const {
    return matrix_[static_cast<std::size_t>(from) * static_cast<std::size_t>(nodeCount_) +
                   static_cast<std::size_t>(to)];
}

void NavGraph::storeEdge(Object* platform, NavNode& a, gfx::PointF pointA, NavNode& b, gfx::PointF pointB,
                         int margin) {
    if (a.index >= nodeCount_ || b.index >= nodeCount_)
        prepareTables();
    NavEdge& e = edge(a.index, b.index);
    e = NavEdge{};
    e.fromPoint = pointA;
    e.toPoint = pointB;
    e.margin = margin;
    e.from = &a;
    e.to = &b;
    e.platform = platform;
    edgeList_.push_back(&e);
}

void NavGraph::addOneWayEdge(Object* platform, NavNode& a, gfx::PointF pointA, bool placeA, NavNode& b,
                             gfx::PointF pointB, bool placeB) {
    if (placeA && isGiven(pointA)) {
        a.x = static_cast<int>(pointA.x);
        a.y = static_cast<int>(pointA.y);
    }
    if (placeB && isGiven(pointB)) {
        b.x = static_cast<int>(pointB.x);
        b.y = static_cast<int>(pointB.y);
    }
    storeEdge(platform, a, pointA, b, pointB, 2);
}

void NavGraph::addTwoWayEdge(Object* platform, NavNode& a, gfx::PointF pointA, NavNode& b, gfx::PointF pointB,
                             double margin) {
    if (isGiven(pointA)) {
        a.x = static_cast<int>(pointA.x);
        a.y = static_cast<int>(pointA.y);
    }
    if (isGiven(pointB)) {
        b.x = static_cast<int>(pointB.x);
        b.y = static_cast<int>(pointB.y);
    }
    const int m = static_cast<int>(margin);
    storeEdge(platform, a, pointA, b, pointB, m);
    storeEdge(platform, b, pointB, a, pointA, m);
}

void NavGraph::addChain(Object* platform, const SurfacePoint* anchors) {
    if (!anchors || !anchors[0].node)
        return;
    for (const SurfacePoint* p = anchors; p[1].node; ++p) {
        const gfx::PointF a{static_cast<float>(p[0].x), static_cast<float>(p[0].y)};
        const gfx::PointF b{static_cast<float>(p[1].x), static_cast<float>(p[1].y)};
        addTwoWayEdge(platform, *p[0].node, a, *p[1].node, b, 2.0);
    }
}

void NavGraph::computeAllPaths() {
    prepareTables();
    // The outgoing edges of every node in target index order, with their costs: the same
    // scan as over the matrix row, without touching its absent cells again for each source.
    std::vector<std::vector<Outgoing>> outgoing(static_cast<std::size_t>(nodeCount_));
    for (int a = 0; a < nodeCount_; ++a)
        for (int b = 0; b < nodeCount_; ++b)
            if (NavEdge& e = edge(a, b); e.exists())
                outgoing[static_cast<std::size_t>(a)].push_back({b, &e, e.cost()});
    for (int s = 0; s < nodeCount_; ++s)
        eccentricity_[static_cast<std::size_t>(s)] = searchFrom(s, outgoing);
}

// Dijkstra with an unsorted open list. Ties go to the entry that joined the open list
// first, so the chosen tree depends on nothing but the node order. A node is listed at
// most once: a second entry for the same node could never be picked before the first, so
// it would change nothing.
double NavGraph::searchFrom(int source, const std::vector<std::vector<Outgoing>>& outgoing) {
    std::vector<PathEntry>& table = pathTables_[static_cast<std::size_t>(source)];
    std::fill(table.begin(), table.end(), PathEntry{});
    std::vector<unsigned char> settled(static_cast<std::size_t>(nodeCount_), 0);
    std::vector<unsigned char> listed(static_cast<std::size_t>(nodeCount_), 0);
    std::vector<int> open{source};
    listed[static_cast<std::size_t>(source)] = 1;
    int largest = 0;

    while (!open.empty()) {
        std::size_t pick = 0;
        for (std::size_t i = 1; i < open.size(); ++i)
            if (table[static_cast<std::size_t>(open[i])].cost <
                table[static_cast<std::size_t>(open[pick])].cost)
                pick = i;
        const int node = open[pick];
        open.erase(open.begin() + static_cast<std::ptrdiff_t>(pick));

        const int base = node == source ? 0 : table[static_cast<std::size_t>(node)].cost;
        largest = std::max(largest, base);
        for (const Outgoing& out : outgoing[static_cast<std::size_t>(node)]) {
            const auto i = static_cast<std::size_t>(out.target);
            if (settled[i])
                continue;
            if (!listed[i]) {
                open.push_back(out.target);
                listed[i] = 1;
            }
            PathEntry& target = table[i];
            const double through = base + out.cost;
            if (target.cost > through) {
                target.cost = static_cast<int>(through);
                target.lastEdge = out.edge;
            }
        }
        settled[static_cast<std::size_t>(node)] = 1;
    }
    return largest;
}

std::deque<NavEdge*> NavGraph::planPath(NavEdge* current, int goal) {
    std::deque<NavEdge*> path;
    if (!current || !current->exists() || goal < 0 || goal >= nodeCount_ || pathTables_.empty())
        return path;
    const int c = current->to->index;
    if (goal == c) {
        path.push_back(current);
        return path;
    }
    const auto& fromC = pathTables_[static_cast<std::size_t>(c)];
    if (!fromC[static_cast<std::size_t>(goal)].lastEdge)
        return path;

    // Turn round when the node behind is strictly closer to the goal.
    const int u = current->from->index;
    const auto& fromU = pathTables_[static_cast<std::size_t>(u)];
    if (fromC[static_cast<std::size_t>(goal)].cost > fromU[static_cast<std::size_t>(goal)].cost) {
        NavEdge& back = edge(c, u);
        const bool oneStretch = back.exists() && distance(back.start(), current->end()) < 1 &&
                                distance(back.end(), current->start()) < 1;
        if (back.exists() && !oneStretch) {
            // A wrap-around jump and its reverse lie at opposite edges of the world: turning
            // round onto it would send the body across the whole world. It stands at the
            // jump's start, so the route starts there (and is empty when that is the goal).
            const PathEntry* entry = &fromU[static_cast<std::size_t>(goal)];
            for (int steps = 0; entry->lastEdge && steps < nodeCount_; ++steps) {
                path.push_front(entry->lastEdge);
                entry = &fromU[static_cast<std::size_t>(entry->lastEdge->from->index)];
            }
            return path;
        }
        if (back.exists())
            current = &back;
    }

    const auto& fromT = pathTables_[static_cast<std::size_t>(current->to->index)];
    const PathEntry* entry = &fromT[static_cast<std::size_t>(goal)];
    // The predecessor chain is a tree, so it ends within nodeCount_ steps; the bound only
    // guards against a table that was never solved.
    for (int steps = 0; entry->lastEdge && steps < nodeCount_; ++steps) {
        path.push_front(entry->lastEdge);
        entry = &fromT[static_cast<std::size_t>(entry->lastEdge->from->index)];
    }
    path.push_front(current);
    return path;
}

NavNode* NavGraph::nodeAt(gfx::PointF p) {
    for (NavNode* n : nodeList_) {
        const gfx::RectI& r = n->hitRect();
        if (p.x >= r.x && p.x < r.x + r.width && p.y >= r.y && p.y < r.y + r.height)
            return n;
    }
    return nullptr;
}

NavEdge* NavGraph::nearestEdge(gfx::PointF p) {
    NavEdge* best = nullptr;
    double bestScore = 9999;
    for (NavEdge* e : edgeList_) {
        if (!e->exists())
            continue;
        const gfx::PointF a = e->start();
        const gfx::PointF b = e->end();
        const double d = distance(p, b);
        const double dx = double{b.x} - a.x;
        const double dy = double{b.y} - a.y;
        const double length = std::sqrt(dx * dx + dy * dy);

        // A walkway of zero length has no direction: it scores by its end point alone
        // instead of dividing by zero.
        bool inside = false;
        double footDistance = 0;
        if (length > 0) {
            const double ux = dx / length;
            const double uy = dy / length;
            const gfx::RectF& ext = e->extent();
            double fx = 0, fy = 0;
            if (std::abs(uy) >= std::abs(ux)) {
                const double lx = a.x + (p.y - a.y) * ux / uy;
                const double k = ux * std::abs(p.x - lx);
                fx = lx + k * ux;
                fy = p.y + k * uy;
                inside = fy >= ext.y && fy <= double{ext.y} + ext.height;
            } else {
                const double ly = a.y + (p.x - a.x) * uy / ux;
                const double k = uy * std::abs(p.y - ly);
                fx = p.x + k * ux;
                fy = ly + k * uy;
                inside = fx >= ext.x && fx <= double{ext.x} + ext.width;
            }
            footDistance = std::hypot(p.x - fx, p.y - fy);
        }
        const double score = inside ? d + footDistance : 2 * d;
        if (score < bestScore) {
            bestScore = score;
            best = e;
        }
    }
    return best;
}

NavEdge* NavGraph::edgeOnPlatform(const Object* platform, const gfx::RectF& r) {
    for (NavEdge* e : edgeList_) {
        if (e->platform != platform)
            continue;
        const gfx::RectI& h = e->hitRect();
        if (r.x < static_cast<float>(h.x + h.width) && static_cast<float>(h.x) < r.x + r.width &&
            r.y < static_cast<float>(h.y + h.height) && static_cast<float>(h.y) < r.y + r.height)
            return e;
    }
    return nullptr;
}

NavEdge* NavGraph::reverseEdge(const NavEdge& e) {
    if (!e.from || !e.to)
        return nullptr;
    NavEdge& back = edge(e.to->index, e.from->index);
    return back.exists() ? &back : nullptr;
}

const std::vector<NavGraph::PathEntry>& NavGraph::pathTable(int source) const {
    static const std::vector<PathEntry> kNone;
    if (source < 0 || source >= static_cast<int>(pathTables_.size()))
        return kNone;
    return pathTables_[static_cast<std::size_t>(source)];
}

double NavGraph::eccentricity(int source) const {
    if (source < 0 || source >= static_cast<int>(eccentricity_.size()))
        return 0.0;
    return eccentricity_[static_cast<std::size_t>(source)];
}

} // namespace game
