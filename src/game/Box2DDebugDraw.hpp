#pragma once

#include <box2d/box2d.h>

#include <glm/vec3.hpp>
#include <vector>

/// Collects the outlines of the physics shapes as line segments for the scene's debug overlay.
///
/// The scene hands it to its world (`b2World::SetDebugDraw`); `b2World::DebugDraw()` then reports
/// every shape, and the scene draws `GetLines()` as a line list and calls `ClearLines()`. Only
/// geometry is kept: no GL calls, no colours (the scene draws every line white). Solid shapes are
/// drawn as outlines; transforms and points are not drawn.
class Box2DDebugDraw : public b2Draw {
public:
    /// `scale` multiplies every physics coordinate and radius (the scene uses 1). Only shapes
    /// are reported: no joints, bounding boxes, broad-phase pairs or centres of mass.
    explicit Box2DDebugDraw(float scale);

    void DrawPolygon(const b2Vec2* vertices, int32 vertexCount, const b2Color& color) override;
    void DrawSolidPolygon(const b2Vec2* vertices, int32 vertexCount, const b2Color& color) override;
    /// 16 segments starting at the top of the circle and running clockwise.
    void DrawCircle(const b2Vec2& center, float radius, const b2Color& color) override;
    void DrawSolidCircle(const b2Vec2& center, float radius, const b2Vec2& axis,
                         const b2Color& color) override;
    void DrawSegment(const b2Vec2& p1, const b2Vec2& p2, const b2Color& color) override;
    void DrawTransform(const b2Transform& xf) override;
    void DrawPoint(const b2Vec2& p, float size, const b2Color& color) override;

    /// Every two consecutive vertices form one segment; z is always 0.
    const std::vector<glm::vec3>& GetLines() const { return lines; }
    /// Empties the list, keeping its storage for the next frame.
    void ClearLines() { lines.clear(); }

private:
    void Append(float x, float y);

    std::vector<glm::vec3> lines;
    float scale;
};
