#include "orka/Shape.hpp"

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <utility>

namespace orka {

namespace {

constexpr float pi = 3.14159265f;
/// How far a circle's sides may stray from the true curve, in world units.
constexpr float curveTolerance = 0.25f;
constexpr int maxPolygonPoints = 32768;
/// A disc's box reaches at most this share of its radius past it, keeping the shader's cut
/// coordinates within 1.6…4.4.
constexpr float discMarginLimit = 0.4f;

// Twice the signed area: positive when the points turn counter-clockwise.
float doubleArea(const std::vector<glm::vec2>& points) {
    float sum = 0.0f;
    for (size_t i = 0; i < points.size(); i++) {
        const glm::vec2& a = points[i];
        const glm::vec2& b = points[(i + 1) % points.size()];
        sum += a.x * b.y - b.x * a.y;
    }
    return sum;
}

// Triangles (0, i, i + 1) of a convex polygon, two to a quad; an odd one out repeats its last
// corner.
int appendFan(const std::vector<glm::vec2>& polygon, std::vector<glm::vec2>& corners) {
    const int n = static_cast<int>(polygon.size());
    int quads = 0;
    for (int i = 1; i + 1 < n; i += 2) {
        corners.insert(corners.end(),
                       {polygon[0], polygon[i], polygon[i + 1], polygon[std::min(i + 2, n - 1)]});
        ++quads;
    }
    return quads;
}

// The band between two polygons of as many corners, one quad per side.
int appendRing(const std::vector<glm::vec2>& outer, const std::vector<glm::vec2>& inner,
               std::vector<glm::vec2>& corners) {
    const size_t n = outer.size();
    for (size_t i = 0; i < n; i++) {
        const size_t next = (i + 1) % n;
        corners.insert(corners.end(), {outer[i], outer[next], inner[next], inner[i]});
    }
    return static_cast<int>(n);
}

std::vector<glm::vec2> ellipsePoints(glm::vec2 centre, glm::vec2 radii, int segments) {
    std::vector<glm::vec2> result(static_cast<size_t>(segments));
    const float step = 2.0f * pi / static_cast<float>(segments);
    for (int i = 0; i < segments; i++) {
        const float angle = step * static_cast<float>(i);
        result[i] = centre + radii * glm::vec2(std::cos(angle), std::sin(angle));
    }
    return result;
}

// The outline without repeated neighbours (whose edge has no direction); empty when fewer
// than three corners are left.
std::vector<glm::vec2> withoutRepeats(const std::vector<glm::vec2>& outline) {
    std::vector<glm::vec2> kept;
    kept.reserve(outline.size());
    for (const glm::vec2& point : outline) {
        if (kept.empty() || point != kept.back()) kept.push_back(point);
    }
    while (kept.size() > 1 && kept.back() == kept.front()) kept.pop_back();
    if (kept.size() < 3) kept.clear();
    return kept;
}

/// The longest mitre, at the sharpest corner, in edge offsets: a sharper corner is cut short
/// rather than throwing a spike.
constexpr float maxMitre = 4.0f;
constexpr float edgeCodeBase = 8.0f;

// Each corner's edge code, as Shape::appendSmoothQuads describes it, with a positive length.
std::vector<glm::vec2> mitreCodes(const std::vector<glm::vec2>& outline) {
    const size_t n = outline.size();
    std::vector<glm::vec2> codes(n);
    for (size_t i = 0; i < n; i++) {
        const glm::vec2 before = glm::normalize(outline[i] - outline[(i + n - 1) % n]);
        const glm::vec2 after = glm::normalize(outline[(i + 1) % n] - outline[i]);
        // The filled side is to the left of each edge: outward is to the right.
        const glm::vec2 outBefore(before.y, -before.x);
        const glm::vec2 outAfter(after.y, -after.x);
        const glm::vec2 sum = outBefore + outAfter;
        const float along = 1.0f + glm::dot(outBefore, outAfter);
        glm::vec2 mitre = along > 2.0f / (maxMitre * maxMitre) ? sum / along : outAfter;
        const float length = std::min(glm::length(mitre), maxMitre);
        float angle = std::atan2(mitre.y, mitre.x);
        if (angle < 0.0f) angle += 2.0f * pi;
        codes[i] = glm::vec2(edgeCodeBase + angle, length);
    }
    return codes;
}

glm::vec2 inward(glm::vec2 code) {
    return glm::vec2(code.x, -code.y);
}

void appendCorners(std::vector<glm::vec2>& corners,
                   std::initializer_list<std::pair<glm::vec2, glm::vec2>> placed) {
    for (const auto& [position, code] : placed) corners.insert(corners.end(), {position, code});
}

std::vector<glm::vec2> rectanglePoints(glm::vec2 lowerLeft, glm::vec2 size) {
    return {lowerLeft, lowerLeft + glm::vec2(size.x, 0.0f), lowerLeft + size,
            lowerLeft + glm::vec2(0.0f, size.y)};
}

}  // namespace

Shape::Shape(Kind kind, glm::vec2 first, glm::vec2 second)
    : kind(kind), first(first), second(second) {}

Shape Shape::rectangle(glm::vec2 lowerLeft, glm::vec2 size) {
    return Shape(Kind::Rectangle, lowerLeft, glm::max(size, glm::vec2(0.0f)));
}

Shape Shape::circle(glm::vec2 centre, float radius) {
    return ellipse(centre, glm::vec2(radius));
}

Shape Shape::ellipse(glm::vec2 centre, glm::vec2 radii) {
    return Shape(Kind::Ellipse, centre, glm::max(radii, glm::vec2(0.0f)));
}

Shape Shape::line(glm::vec2 from, glm::vec2 to, float width) {
    Shape shape(Kind::Line, from, to);
    shape.lineWidth = std::max(width, 0.0f);
    return shape;
}

Shape Shape::polygon(std::vector<glm::vec2> points) {
    Shape shape(Kind::Polygon, glm::vec2(0.0f), glm::vec2(0.0f));
    // Counter-clockwise, as the renderer culls faces turning the other way.
    if (doubleArea(points) < 0.0f) std::reverse(points.begin(), points.end());
    shape.points = std::move(points);
    return shape;
}

Shape& Shape::setColor(const glm::vec4& newColor) {
    color = newColor;
    return *this;
}

Shape& Shape::withOutline(float thickness) {
    outline = std::max(thickness, 0.0f);
    return *this;
}

Shape& Shape::withOrderInBatch(int order) {
    orderInBatch = order;
    return *this;
}

Shape& Shape::withSegments(int count) {
    segments = count == 0 ? 0 : std::clamp(count, minSegments, maxSegments);
    return *this;
}

int Shape::getSegments() const {
    if (segments != 0) return segments;
    // A side of angle a strays r (1 - cos(a / 2)) from the curve.
    const float radius = std::max(second.x, second.y);
    if (radius <= curveTolerance) return minSegments;
    const float sides = pi / std::acos(1.0f - curveTolerance / radius);
    return std::clamp(static_cast<int>(std::ceil(sides)), minSegments, maxSegments);
}

Shape& Shape::withRotation(float degrees) {
    rotation = degrees;
    return *this;
}

Shape& Shape::withScale(glm::vec2 factors) {
    scale = factors;
    return *this;
}

Shape& Shape::withOrigin(glm::vec2 point) {
    origin = point;
    hasOrigin = true;
    return *this;
}

glm::vec2 Shape::getOrigin() const {
    if (hasOrigin) return origin;
    switch (kind) {
        case Kind::Rectangle:
            return first + 0.5f * second;
        case Kind::Ellipse:
            return first;
        case Kind::Line:
            return 0.5f * (first + second);
        case Kind::Polygon: {
            if (points.empty()) return glm::vec2(0.0f);
            glm::vec2 low = points[0];
            glm::vec2 high = points[0];
            for (const glm::vec2& point : points) {
                low = glm::min(low, point);
                high = glm::max(high, point);
            }
            return 0.5f * (low + high);
        }
    }
    return glm::vec2(0.0f);
}

void Shape::place(std::vector<glm::vec2>& corners, size_t from) const {
    if (rotation == 0.0f && scale == glm::vec2(1.0f)) return;
    const glm::vec2 about = getOrigin();
    const float radians = glm::radians(rotation);
    const float c = std::cos(radians);
    const float s = std::sin(radians);
    for (size_t i = from; i < corners.size(); i++) {
        const glm::vec2 scaled = (corners[i] - about) * scale;
        corners[i] = about + glm::vec2(c * scaled.x - s * scaled.y, s * scaled.x + c * scaled.y);
    }
}

int Shape::appendDiscQuad(std::vector<glm::vec2>& corners) const {
    if (kind != Kind::Ellipse || second.x == 0.0f || second.y == 0.0f) return 0;
    const bool outlined = outline > 0.0f && outline < std::min(second.x, second.y);
    if (outlined) return 0;
    // The edge fades over a pixel centred on it: the box reaches past the curve so the outer
    // half of the fade is drawn (a unit is half a pixel or more unless the picture is shrunk
    // below half size).
    const glm::vec2 margin = glm::min(glm::vec2(1.0f), discMarginLimit * second);
    const size_t from = corners.size();
    const auto box = rectanglePoints(first - second - margin, 2.0f * (second + margin));
    corners.insert(corners.end(), box.begin(), box.end());
    place(corners, from);
    corners.push_back(1.0f + margin / second);
    return 1;
}

std::vector<std::vector<glm::vec2>> Shape::placedOutlines() const {
    std::vector<std::vector<glm::vec2>> outlines;
    switch (kind) {
        case Kind::Line: {
            const glm::vec2 along = second - first;
            const float length = glm::length(along);
            if (length == 0.0f || lineWidth == 0.0f) return {};
            const glm::vec2 across = glm::vec2(-along.y, along.x) * (0.5f * lineWidth / length);
            outlines.push_back({first - across, second - across, second + across, first + across});
            break;
        }
        case Kind::Polygon:
            if (points.size() > static_cast<size_t>(maxPolygonPoints)) return {};
            outlines.push_back(points);
            break;
        case Kind::Rectangle: {
            outlines.push_back(rectanglePoints(first, second));
            const float band = std::min(outline, 0.5f * std::min(second.x, second.y));
            if (outline > 0.0f && band < 0.5f * std::min(second.x, second.y)) {
                outlines.push_back(rectanglePoints(first + band, second - 2.0f * band));
            }
            break;
        }
        case Kind::Ellipse: {
            outlines.push_back(ellipsePoints(first, second, getSegments()));
            const glm::vec2 inner = second - outline;
            if (outline > 0.0f && inner.x > 0.0f && inner.y > 0.0f) {
                outlines.push_back(ellipsePoints(first, inner, getSegments()));
            }
            break;
        }
    }
    for (auto& points : outlines) place(points, 0);
    // A mirroring scale turns the outline clockwise.
    const bool mirrored = doubleArea(outlines[0]) < 0.0f;
    for (size_t i = 0; i < outlines.size(); i++) {
        const bool hole = i > 0;
        if (mirrored != hole) std::reverse(outlines[i].begin(), outlines[i].end());
        outlines[i] = withoutRepeats(outlines[i]);
        if (outlines[i].empty()) return {};
    }
    // A ring's body pairs its two outlines corner by corner.
    if (outlines.size() == 2 && outlines[0].size() != outlines[1].size()) return {};
    return outlines;
}

int Shape::appendSmoothQuads(std::vector<glm::vec2>& corners) const {
    const auto outlines = placedOutlines();
    if (outlines.empty()) return 0;
    int quads = 0;
    std::vector<std::vector<glm::vec2>> codes;
    for (const auto& outline : outlines) codes.push_back(mitreCodes(outline));
    const auto& outer = outlines[0];
    const auto& outerCodes = codes[0];
    const int n = static_cast<int>(outer.size());
    if (outlines.size() == 1) {
        // The fan of appendQuads, its corners half a pixel in from the edge.
        for (int i = 1; i + 1 < n; i += 2) {
            const int last = std::min(i + 2, n - 1);
            appendCorners(corners, {{outer[0], inward(outerCodes[0])},
                                    {outer[i], inward(outerCodes[i])},
                                    {outer[i + 1], inward(outerCodes[i + 1])},
                                    {outer[last], inward(outerCodes[last])}});
            ++quads;
        }
    } else {
        // The hole runs the other way: its corner n - 1 - i faces the outline's corner i.
        const auto& hole = outlines[1];
        const auto& holeCodes = codes[1];
        for (int i = 0; i < n; i++) {
            const int next = (i + 1) % n;
            const int facing = n - 1 - i;
            const int facingNext = n - 1 - next;
            appendCorners(corners, {{outer[i], inward(outerCodes[i])},
                                    {outer[next], inward(outerCodes[next])},
                                    {hole[facingNext], inward(holeCodes[facingNext])},
                                    {hole[facing], inward(holeCodes[facing])}});
            ++quads;
        }
    }
    // A band one pixel wide across every edge, fading out to the outside.
    for (size_t k = 0; k < outlines.size(); k++) {
        const auto& points = outlines[k];
        const auto& edgeCodes = codes[k];
        for (size_t i = 0; i < points.size(); i++) {
            const size_t next = (i + 1) % points.size();
            appendCorners(corners, {{points[i], edgeCodes[i]},
                                    {points[next], edgeCodes[next]},
                                    {points[next], inward(edgeCodes[next])},
                                    {points[i], inward(edgeCodes[i])}});
            ++quads;
        }
    }
    return quads;
}

int Shape::appendQuads(std::vector<glm::vec2>& corners) const {
    const size_t from = corners.size();
    const int quads = appendUnplacedQuads(corners);
    place(corners, from);
    return quads;
}

int Shape::appendUnplacedQuads(std::vector<glm::vec2>& corners) const {
    switch (kind) {
        case Kind::Line: {
            const glm::vec2 along = second - first;
            const float length = glm::length(along);
            if (length == 0.0f || lineWidth == 0.0f) return 0;
            const glm::vec2 across = glm::vec2(-along.y, along.x) * (0.5f * lineWidth / length);
            corners.insert(corners.end(),
                           {first - across, second - across, second + across, first + across});
            return 1;
        }
        case Kind::Polygon:
            if (points.size() < 3 || points.size() > static_cast<size_t>(maxPolygonPoints)) {
                return 0;
            }
            return appendFan(points, corners);
        case Kind::Rectangle: {
            const float band = std::min(outline, 0.5f * std::min(second.x, second.y));
            const auto outer = rectanglePoints(first, second);
            if (outline == 0.0f || band == 0.5f * std::min(second.x, second.y)) {
                return appendFan(outer, corners);
            }
            return appendRing(outer, rectanglePoints(first + band, second - 2.0f * band), corners);
        }
        case Kind::Ellipse: {
            const auto outer = ellipsePoints(first, second, getSegments());
            const glm::vec2 inner = second - outline;
            if (outline == 0.0f || inner.x <= 0.0f || inner.y <= 0.0f) {
                return appendFan(outer, corners);
            }
            return appendRing(outer, ellipsePoints(first, inner, getSegments()), corners);
        }
    }
    return 0;
}

}  // namespace orka
