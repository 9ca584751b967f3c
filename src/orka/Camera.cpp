#include "orka/Camera.hpp"

#include <cstdio>
#include <glm/gtc/matrix_transform.hpp>
#include <glm/gtx/euler_angles.hpp>
#include <glm/gtx/matrix_decompose.hpp>
#include <limits>
#include <string>

#include "orka/Log.hpp"
#include "orka/Renderer.hpp"

namespace orka {

namespace {

constexpr float degreesToRadians = 0.017453292f;
constexpr float radiansToDegrees = 57.29578f;
constexpr float epsilon = std::numeric_limits<float>::epsilon();

std::string describe(glm::vec3 v) {
    char text[96];
    std::snprintf(text, sizeof(text), "vec3(%f, %f, %f)", v.x, v.y, v.z);
    return text;
}

// Where the camera stands and how it is turned, read from its camera-to-world matrix (the
// inverse view); false for a matrix that does not decompose.
bool decomposePlacement(const glm::mat4& cameraToWorld, glm::vec3& translation,
                        glm::quat& rotation) {
    glm::vec3 scale, skew;
    glm::vec4 perspective;
    return glm::decompose(cameraToWorld, scale, rotation, translation, skew, perspective);
}

float atLeastOnePixel(unsigned int extent) {
    return extent == 0 ? 1.0f : static_cast<float>(extent);
}

}  // namespace

void Camera::setPerspectiveProjection(float fieldOfViewY, float nearPlane, float farPlane) {
    projectionType = ProjectionType::Perspective;
    firstParameter = fieldOfViewY * degreesToRadians;
    this->nearPlane = nearPlane;
    this->farPlane = farPlane;
}

void Camera::setOrthographicProjection(float orthographicSize, float nearPlane, float farPlane) {
    projectionType = ProjectionType::Orthographic;
    firstParameter = orthographicSize;
    this->nearPlane = nearPlane;
    this->farPlane = farPlane;
}

void Camera::setWindowCoordinates() {
    projectionType = ProjectionType::OrthographicWindow;
}

void Camera::setProjectionTransform(const glm::mat4& projectionTransform) {
    projectionType = ProjectionType::Custom;
    customProjection = projectionTransform;
}

glm::mat4 Camera::getProjectionTransform(glm::uvec2 viewportSize) const {
    const float width = atLeastOnePixel(viewportSize.x);
    const float height = atLeastOnePixel(viewportSize.y);
    switch (projectionType) {
        case ProjectionType::Perspective:
            return glm::perspectiveFov(firstParameter, width, height, nearPlane, farPlane);
        case ProjectionType::Orthographic: {
            const float halfWidth = firstParameter * width / height;
            return glm::ortho(-halfWidth, halfWidth, -firstParameter, firstParameter, nearPlane,
                              farPlane);
        }
        case ProjectionType::OrthographicWindow:
            return glm::ortho(0.0f, width, 0.0f, height, 1.0f, -1.0f);
        case ProjectionType::Custom:
            return customProjection;
    }
    return glm::mat4(1.0f);
}

void Camera::setViewTransform(const glm::mat4& viewTransform) {
    this->viewTransform = viewTransform;
}

void Camera::lookAt(glm::vec3 eye, glm::vec3 at, glm::vec3 up) {
    if (glm::length(eye - at) < epsilon) {
        ORKA_LOG_WARNING(
            "Camera::lookAt() invalid parameters. eye (%s) must be different from at (%s)",
            describe(eye).c_str(), describe(at).c_str());
    } else if (glm::length(glm::cross(glm::normalize(at - eye), up)) < epsilon) {
        ORKA_LOG_WARNING(
            "Camera::lookAt() invalid parameters. up (%s) must not be parallel to at - eye (%s)",
            describe(up).c_str(), describe(at - eye).c_str());
    }
    viewTransform = glm::lookAt(eye, at, up);
}

void Camera::setPositionAndRotation(glm::vec3 position, glm::vec3 rotationEulerDegrees) {
    const glm::vec3 radians = rotationEulerDegrees * degreesToRadians;
    const glm::mat4 rotation = glm::eulerAngleXYZ(radians.x, radians.y, radians.z);
    viewTransform = glm::inverse(glm::translate(glm::mat4(1.0f), position) * rotation);
}

glm::vec3 Camera::getPosition() const {
    const glm::mat4 cameraToWorld = glm::inverse(viewTransform);
    glm::vec3 translation;
    glm::quat rotation;
    if (!decomposePlacement(cameraToWorld, translation, rotation)) {
        return glm::vec3(cameraToWorld[3]);
    }
    return translation;
}

glm::vec3 Camera::getRotationEuler() const {
    glm::vec3 translation;
    glm::quat rotation;
    if (!decomposePlacement(glm::inverse(viewTransform), translation, rotation)) {
        return glm::vec3(0.0f);
    }
    // The inverse of eulerAngleXYZ, so the angles given to setPositionAndRotation come back.
    glm::vec3 angles;
    glm::extractEulerAngleXYZ(glm::mat4_cast(rotation), angles.x, angles.y, angles.z);
    return angles * radiansToDegrees;
}

void Camera::setViewport(glm::vec2 offset, glm::vec2 size) {
    viewportOffset = offset;
    viewportSize = size;
}

std::array<glm::vec3, 2> Camera::screenPointToRay(glm::vec2 position) const {
    if (Renderer::instance == nullptr) {
        ORKA_LOG_ERROR(
            "Camera::screenPointToRay() needs the window size of orka::Renderer, "
            "which is not created.");
        return {glm::vec3(0.0f), glm::vec3(0.0f, 0.0f, -1.0f)};
    }
    const Renderer& renderer = *Renderer::instance;
    // With a logical size the picture fills only the window's area between the bars, in
    // drawable pixels; positions come in window pixels, which differ on high-density screens.
    const PixelArea area = renderer.getWindowArea();
    const glm::vec2 windowPerDrawable =
        glm::vec2(renderer.getWindowSize()) / glm::max(glm::vec2(renderer.getDrawableSize()), 1.0f);
    const glm::vec2 barOffset = glm::vec2(area.offset) * windowPerDrawable;
    const glm::vec2 pixels = viewportSize * glm::vec2(area.size) * windowPerDrawable;
    const glm::vec2 ndc = (position - barOffset) / pixels * 2.0f - 1.0f;
    // The projection render passes use: for the logical size when there is one.
    const glm::ivec2 logical = renderer.getLogicalSize();
    const glm::vec2 projected =
        logical.x > 0 && logical.y > 0 ? viewportSize * glm::vec2(logical) : pixels;
    const glm::mat4 clipToWorld =
        glm::inverse(getProjectionTransform(glm::uvec2(projected)) * viewTransform);
    glm::vec4 nearPoint = clipToWorld * glm::vec4(ndc, -1.0f, 1.0f);
    glm::vec4 farPoint = clipToWorld * glm::vec4(ndc, 1.0f, 1.0f);
    nearPoint /= nearPoint.w;
    farPoint /= farPoint.w;
    return {glm::vec3(nearPoint), glm::normalize(glm::vec3(farPoint - nearPoint))};
}

}  // namespace orka
