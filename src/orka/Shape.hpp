#pragma once

#include <glm/glm.hpp>
#include <vector>

namespace orka {

/// A filled or outlined 2D shape in one colour, drawn by a SpriteBatch among its sprites:
/// SpriteBatch::SpriteBatchBuilder::addShape turns it into quads sampling one white texel, so
/// shapes and sprites of one texture share draw calls. A plain value: copy it freely.
///
/// Units: positions, sizes, radii, widths and thicknesses in world units (pixels under a pixel
/// camera). A filled circle or ellipse sampling the engine's white texture (the default) is
/// drawn exactly, one quad cut round per pixel. Outlined ones, and filled ones sampling a page's
/// white texel (SpriteBatch::SpriteBatchBuilder::withShapeTexel), are polygons whose number of
/// sides grows with the radius, so that no edge strays more than a quarter of a unit from the
/// true curve (between 8 and 1024 sides); withSegments chooses the number instead. An outline lies
/// inside the shape's edge: an outlined rectangle covers what the filled one covers, less its
/// inside. On the white texture every edge fades over about one pixel, centred on it (see
/// appendSmoothQuads); a page's texel draws hard edges.
class Shape {
public:
    /// Sides a circle or ellipse can have.
    ///@{
    static constexpr int minSegments = 8;
    static constexpr int maxSegments = 1024;
    ///@}

    /// An axis-aligned rectangle from its lower-left corner; a negative size is taken as 0.
    static Shape rectangle(glm::vec2 lowerLeft, glm::vec2 size);
    /// A circle about `centre`.
    static Shape circle(glm::vec2 centre, float radius);
    /// An axis-aligned ellipse about `centre`, with radii along x and y.
    static Shape ellipse(glm::vec2 centre, glm::vec2 radii);
    /// A straight line from `from` to `to`, `width` across, with square ends at the two points.
    static Shape line(glm::vec2 from, glm::vec2 to, float width);
    /// A convex polygon through `points`, in either turning direction. Fewer than three points,
    /// or more than 32,768, draw nothing. Polygons are always filled: withOutline is ignored.
    static Shape polygon(std::vector<glm::vec2> points);

    /// Linear RGBA, 0…1, as a sprite's colour (default opaque white). The same verb as
    /// Sprite::setColor and Text::setColor; returns the shape so that calls chain.
    Shape& setColor(const glm::vec4& newColor);
    /// The earlier name of setColor, kept for existing programs.
    Shape& withColor(const glm::vec4& newColor) { return setColor(newColor); }
    /// Draws only a band `thickness` wide inside the edge of a rectangle, circle or ellipse; 0
    /// (the default) fills it. A band wider than the shape fills it.
    Shape& withOutline(float thickness);
    /// Primary sort key in the batch, as Sprite::setOrderInBatch (default 0).
    Shape& withOrderInBatch(int order);
    /// Sides of a circle or ellipse, clamped to minSegments…maxSegments; 0 (the default) chooses
    /// them from the radius.
    Shape& withSegments(int segments);

    /// Turns the shape by `degrees` counter-clockwise about its origin (see withOrigin).
    Shape& withRotation(float degrees);
    /// Scales the shape by `factors` about its origin, before it is turned (a line's width
    /// and an outline's band scale with it).
    Shape& withScale(glm::vec2 factors);
    /// The point the shape turns and scales about, in world units; by default the centre of
    /// its bounding box (a circle's centre, a line's middle).
    Shape& withOrigin(glm::vec2 point);
    /// The point the shape turns and scales about: as set, or the default.
    glm::vec2 getOrigin() const;

    /// As set.
    ///@{
    const glm::vec4& getColor() const { return color; }
    int getOrderInBatch() const { return orderInBatch; }
    float getOutline() const { return outline; }
    ///@}
    /// The sides a circle or ellipse is drawn with: the chosen or the computed number.
    int getSegments() const;

    /// Appends the shape's quads, four corners each, counter-clockwise; each quad is drawn as
    /// the triangles (0, 1, 2) and (0, 2, 3). Returns how many it appended.
    int appendQuads(std::vector<glm::vec2>& corners) const;
    /// A filled circle or ellipse appends one quad instead, its bounding box (widened by up to
    /// a unit, for the fading edge) from the lower-left corner counter-clockwise, for a shader
    /// that cuts the curve out per pixel (an exact curve in two triangles, whatever the
    /// segments); then a fifth entry, how far the box reaches along x and y in radii. Returns
    /// 1, or 0 for any other shape, which appends nothing.
    int appendDiscQuad(std::vector<glm::vec2>& corners) const;
    /// For the shape shader, which smooths edges: appends the quads of appendQuads with a
    /// feathered band along every edge, each corner as two entries, its position and its edge
    /// code. An edge code of (0, 0) is a corner inside the shape. Otherwise the first is 8 plus
    /// the angle (radians, 0…2 pi) of the corner's mitre, the vector that moves the two edges
    /// meeting there one unit outward, and the second the mitre's length, positive for a corner
    /// the shader moves half a pixel out (where coverage is 0) and negative for one it moves half
    /// a pixel in (coverage 1). A line thinner than a pixel thus still covers about one.
    /// Returns how many quads it appended.
    int appendSmoothQuads(std::vector<glm::vec2>& corners) const;

private:
    enum class Kind { Rectangle, Ellipse, Line, Polygon };
    Shape(Kind kind, glm::vec2 first, glm::vec2 second);
    /// appendQuads before scaling and turning.
    int appendUnplacedQuads(std::vector<glm::vec2>& corners) const;
    /// Scales and turns the corners from index `from` on about the origin.
    void place(std::vector<glm::vec2>& corners, size_t from) const;
    /// The outlines to smooth, placed and counter-clockwise (a ring's hole clockwise, so the
    /// filled side is always to the left); an empty list for a shape that draws nothing.
    std::vector<std::vector<glm::vec2>> placedOutlines() const;

    Kind kind;
    /// Rectangle: lower-left corner and size; ellipse: centre and radii; line: its ends.
    glm::vec2 first;
    glm::vec2 second;
    float lineWidth = 0.0f;
    std::vector<glm::vec2> points;
    glm::vec4 color{1.0f, 1.0f, 1.0f, 1.0f};
    int orderInBatch = 0;
    float outline = 0.0f;
    int segments = 0;
    float rotation = 0.0f;  // degrees
    glm::vec2 scale{1.0f, 1.0f};
    glm::vec2 origin{0.0f, 0.0f};
    bool hasOrigin = false;
};

}  // namespace orka
