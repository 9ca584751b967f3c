#pragma once

#include <array>
#include <glm/glm.hpp>

namespace orka {

/// A view transform, a projection description and a viewport given as fractions of the render
/// target. A plain value: render passes copy it. Units: world units for positions and the
/// orthographic size, degrees for angles given to and returned by the camera, pixels for
/// viewport and screen positions.
class Camera {
public:
    /// Which projection getProjectionTransform computes.
    enum class ProjectionType {
        Perspective = 0,         ///< field of view, near and far plane
        Orthographic = 1,        ///< orthographic size, near and far plane
        OrthographicWindow = 2,  ///< pixel coordinates, origin at the lower-left corner
        Custom = 3               ///< a matrix set by the application
    };

    /// Orthographic, size 1, near -1, far 1, identity view, whole target as viewport.
    Camera() = default;

    /// `fieldOfViewY` in degrees (stored in radians).
    void setPerspectiveProjection(float fieldOfViewY, float nearPlane, float farPlane);
    /// `orthographicSize` is half the visible height in world units; the width follows the
    /// target's aspect ratio.
    void setOrthographicProjection(float orthographicSize, float nearPlane, float farPlane);
    /// Pixel coordinates; the perspective or orthographic parameters are kept for later.
    void setWindowCoordinates();
    /// A projection used as it is, whatever the viewport size.
    void setProjectionTransform(const glm::mat4& projectionTransform);
    /// The projection for a target of `viewportSize` pixels. A zero extent counts as one pixel so
    /// that a minimised window gives a finite matrix.
    glm::mat4 getProjectionTransform(glm::uvec2 viewportSize) const;

    /// Chosen by the last call of setPerspectiveProjection, setOrthographicProjection,
    /// setWindowCoordinates or setProjectionTransform.
    ProjectionType getProjectionType() const { return projectionType; }
    /// Perspective field of view in radians (the value of the shared first parameter).
    float getFieldOfViewY() const { return firstParameter; }
    /// Orthographic size in world units (the value of the shared first parameter).
    float getOrthographicSize() const { return firstParameter; }
    /// Distances of the clipping planes in world units along the view direction, as given
    /// to the projection (an orthographic near plane may be negative).
    ///@{
    float getNearPlane() const { return nearPlane; }
    float getFarPlane() const { return farPlane; }
    ///@}

    /// World to eye space: the inverse of the camera's placement.
    ///@{
    void setViewTransform(const glm::mat4& viewTransform);
    glm::mat4 getViewTransform() const { return viewTransform; }
    ///@}

    /// Right-handed look-at view. `eye` equal to `at` (or `up` along the view direction) has no
    /// defined view: a warning is logged and the resulting matrix is used anyway.
    void lookAt(glm::vec3 eye, glm::vec3 at, glm::vec3 up = glm::vec3(0.0f, 1.0f, 0.0f));
    /// The camera placed at `position`, rotated by Euler angles in degrees applied X, Y, Z.
    void setPositionAndRotation(glm::vec3 position, glm::vec3 rotationEulerDegrees);
    /// The camera's world position.
    glm::vec3 getPosition() const;
    /// The camera's rotation as X, Y, Z Euler angles in degrees, as setPositionAndRotation
    /// takes them.
    glm::vec3 getRotationEuler() const;

    /// Lower-left corner and size as fractions (0..1) of the render target.
    ///@{
    void setViewport(glm::vec2 offset, glm::vec2 size);
    glm::vec2 getViewportOffset() const { return viewportOffset; }
    glm::vec2 getViewportSize() const { return viewportSize; }
    ///@}

    /// The world-space ray {origin on the near plane, unit direction} through a position in
    /// window pixels measured from the lower-left corner of the viewport, sized against the
    /// part of the window drawn into: with a logical size (Renderer::setLogicalSize) that is
    /// the area between the black bars, whose lower-left corner counts as the origin, and the
    /// projection is the one render passes use for the logical size. Without a renderer it logs
    /// an error and returns the ray from the origin along -z.
    std::array<glm::vec3, 2> screenPointToRay(glm::vec2 position) const;

private:
    ProjectionType projectionType = ProjectionType::Orthographic;
    float firstParameter = 1.0f;  ///< field of view (radians) or orthographic size
    float nearPlane = -1.0f;
    float farPlane = 1.0f;
    glm::mat4 customProjection{1.0f};
    glm::mat4 viewTransform{1.0f};
    glm::vec2 viewportOffset{0.0f, 0.0f};
    glm::vec2 viewportSize{1.0f, 1.0f};
};

}  // namespace orka
