#include "orka/Camera.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <glm/gtc/matrix_transform.hpp>
#include <glm/gtx/euler_angles.hpp>

#include "orka/GLTestEnvironment.hpp"
#include "orka/LogCapture.hpp"
#include "orka/Renderer.hpp"

namespace orka {
namespace {

using test::LogCapture;

constexpr float tolerance = 1e-5f;

void expectNear(const glm::mat4& actual, const glm::mat4& expected, float eps = tolerance) {
    for (int c = 0; c < 4; ++c) {
        for (int r = 0; r < 4; ++r) {
            EXPECT_NEAR(actual[c][r], expected[c][r], eps) << "element [" << c << "][" << r << "]";
        }
    }
}

void expectNear(glm::vec3 actual, glm::vec3 expected, float eps = tolerance) {
    EXPECT_NEAR(actual.x, expected.x, eps);
    EXPECT_NEAR(actual.y, expected.y, eps);
    EXPECT_NEAR(actual.z, expected.z, eps);
}

glm::vec3 project(const glm::mat4& m, glm::vec3 p) {
    const glm::vec4 clip = m * glm::vec4(p, 1.0f);
    return glm::vec3(clip) / clip.w;
}

TEST(CameraProjection, DefaultIsOrthographicSizeOneWithTheTargetsAspect) {
    const Camera camera;
    EXPECT_EQ(camera.getProjectionType(), Camera::ProjectionType::Orthographic);
    const glm::mat4 projection = camera.getProjectionTransform({800, 600});
    expectNear(projection, glm::ortho(-4.0f / 3.0f, 4.0f / 3.0f, -1.0f, 1.0f, -1.0f, 1.0f));
    // Half the visible height is one world unit; the width follows 4:3.
    expectNear(project(projection, {4.0f / 3.0f, 1.0f, 0.0f}), {1.0f, 1.0f, 0.0f});
    expectNear(project(projection, {0.0f, 0.0f, 1.0f}), {0.0f, 0.0f, -1.0f});
    EXPECT_EQ(camera.getViewTransform(), glm::mat4(1.0f));
    EXPECT_EQ(camera.getViewportOffset(), glm::vec2(0.0f));
    EXPECT_EQ(camera.getViewportSize(), glm::vec2(1.0f));
}

TEST(CameraProjection, PerspectiveStoresRadiansAndMatchesTheFrustum) {
    Camera camera;
    camera.setPerspectiveProjection(60.0f, 0.1f, 100.0f);
    EXPECT_EQ(camera.getProjectionType(), Camera::ProjectionType::Perspective);
    EXPECT_EQ(camera.getFieldOfViewY(), 1.0471976f);
    const glm::mat4 projection = camera.getProjectionTransform({800, 600});
    expectNear(projection, glm::perspective(glm::radians(60.0f), 800.0f / 600.0f, 0.1f, 100.0f));
    // The top-right corner of the near plane lands on the corner of clip space.
    const float top = 0.1f * std::tan(glm::radians(30.0f));
    expectNear(project(projection, {top * 800.0f / 600.0f, top, -0.1f}), {1.0f, 1.0f, -1.0f},
               1e-4f);
    EXPECT_EQ(projection[2][3], -1.0f);
    EXPECT_EQ(projection[3][3], 0.0f);
}

TEST(CameraProjection, OrthographicUsesHalfHeightInWorldUnits) {
    Camera camera;
    camera.setOrthographicProjection(10.0f, -5.0f, 5.0f);
    expectNear(camera.getProjectionTransform({1024, 512}),
               glm::ortho(-20.0f, 20.0f, -10.0f, 10.0f, -5.0f, 5.0f));
    EXPECT_EQ(camera.getOrthographicSize(), 10.0f);
}

TEST(CameraProjection, WindowCoordinatesKeepTheOtherParametersForLater) {
    Camera camera;
    camera.setPerspectiveProjection(45.0f, 1.0f, 50.0f);
    camera.setWindowCoordinates();
    EXPECT_EQ(camera.getProjectionType(), Camera::ProjectionType::OrthographicWindow);
    const glm::mat4 window = camera.getProjectionTransform({800, 600});
    expectNear(window, glm::ortho(0.0f, 800.0f, 0.0f, 600.0f, 1.0f, -1.0f));
    expectNear(project(window, {0.0f, 0.0f, 0.0f}), {-1.0f, -1.0f, 0.0f});
    expectNear(project(window, {800.0f, 600.0f, 0.5f}), {1.0f, 1.0f, 0.5f});
    EXPECT_NEAR(camera.getFieldOfViewY(), glm::radians(45.0f), tolerance);
    EXPECT_EQ(camera.getNearPlane(), 1.0f);
    EXPECT_EQ(camera.getFarPlane(), 50.0f);

    camera.setOrthographicProjection(2.0f, -1.0f, 1.0f);
    expectNear(camera.getProjectionTransform({800, 600}),
               glm::ortho(-8.0f / 3.0f, 8.0f / 3.0f, -2.0f, 2.0f, -1.0f, 1.0f));
}

TEST(CameraProjection, CustomIgnoresTheViewportSize) {
    Camera camera;
    const glm::mat4 custom = glm::frustum(-1.0f, 2.0f, -3.0f, 4.0f, 0.5f, 9.0f);
    camera.setProjectionTransform(custom);
    EXPECT_EQ(camera.getProjectionType(), Camera::ProjectionType::Custom);
    EXPECT_EQ(camera.getProjectionTransform({800, 600}), custom);
    EXPECT_EQ(camera.getProjectionTransform({1, 1}), custom);
    EXPECT_EQ(camera.getProjectionTransform({0, 0}), custom);
}

TEST(CameraProjection, AZeroSizedTargetGivesFiniteMatrices) {
    Camera camera;
    for (int type = 0; type < 3; ++type) {
        if (type == 0) camera.setPerspectiveProjection(60.0f, 0.1f, 10.0f);
        if (type == 1) camera.setOrthographicProjection(1.0f, -1.0f, 1.0f);
        if (type == 2) camera.setWindowCoordinates();
        const glm::mat4 m = camera.getProjectionTransform({0, 0});
        for (int c = 0; c < 4; ++c) {
            for (int r = 0; r < 4; ++r) EXPECT_TRUE(std::isfinite(m[c][r])) << type;
        }
    }
}

TEST(CameraView, LookAtMatchesTheRightHandedLookAt) {
    Camera camera;
    LogCapture capture;
    const glm::vec3 eye(3.0f, 4.0f, 5.0f), at(1.0f, 0.0f, -2.0f), up(0.0f, 1.0f, 0.0f);
    camera.lookAt(eye, at, up);
    expectNear(camera.getViewTransform(), glm::lookAt(eye, at, up));
    // The eye goes to the origin and the target onto the negative z axis.
    expectNear(project(camera.getViewTransform(), eye), glm::vec3(0.0f));
    const glm::vec3 target = project(camera.getViewTransform(), at);
    expectNear(target, {0.0f, 0.0f, -glm::length(at - eye)}, 1e-4f);
    expectNear(camera.getPosition(), eye, 1e-4f);
    EXPECT_TRUE(capture.records.empty());
}

TEST(CameraView, LookAtWithEyeAtTargetWarnsAndStillReplacesTheView) {
    Camera camera;
    LogCapture capture;
    camera.lookAt(glm::vec3(0.0f), glm::vec3(0.0f), glm::vec3(0.0f, 1.0f, 0.0f));
    ASSERT_EQ(capture.records.size(), 1u);
    const test::LogRecord& record = capture.records[0];
    EXPECT_EQ(record.type, LogType::Warning);
    EXPECT_EQ(record.file, "src/orka/Camera");
    EXPECT_EQ(record.function, "lookAt");
    EXPECT_EQ(record.message,
              "Camera::lookAt() invalid parameters. eye (vec3(0.000000, 0.000000, 0.000000)) must "
              "be different from at (vec3(0.000000, 0.000000, 0.000000))");
    EXPECT_NE(camera.getViewTransform(), glm::mat4(1.0f));
}

TEST(CameraView, LookAtAlongTheUpVectorWarns) {
    Camera camera;
    LogCapture capture;
    camera.lookAt({0.0f, 0.0f, 0.0f}, {0.0f, 5.0f, 0.0f}, {0.0f, 1.0f, 0.0f});
    ASSERT_EQ(capture.records.size(), 1u);
    EXPECT_EQ(capture.records[0].type, LogType::Warning);
    EXPECT_NE(capture.records[0].message.find("must not be parallel"), std::string::npos);
}

TEST(CameraView, PositionAndRotationRoundTrip) {
    Camera camera;
    const glm::vec3 position(1.0f, 2.0f, 3.0f);
    const glm::vec3 degrees(10.0f, 20.0f, 30.0f);
    camera.setPositionAndRotation(position, degrees);
    const glm::mat4 rotation = glm::eulerAngleX(glm::radians(10.0f)) *
                               glm::eulerAngleY(glm::radians(20.0f)) *
                               glm::eulerAngleZ(glm::radians(30.0f));
    const glm::mat4 cameraToWorld = glm::translate(glm::mat4(1.0f), position) * rotation;
    expectNear(camera.getViewTransform(), glm::inverse(cameraToWorld));
    expectNear(camera.getPosition(), position, 1e-4f);
    expectNear(camera.getRotationEuler(), degrees, 1e-3f);

    for (glm::vec3 single : {glm::vec3(30, 0, 0), glm::vec3(0, -45, 0), glm::vec3(0, 0, 120)}) {
        camera.setPositionAndRotation(glm::vec3(0.0f), single);
        expectNear(camera.getRotationEuler(), single, 1e-3f);
    }
}

TEST(CameraRay, PerspectiveRaysStartOnTheNearPlane) {
    test::testRenderer();  // the 800 x 600 window gives the viewport its pixels
    Camera camera;
    camera.setPerspectiveProjection(90.0f, 0.5f, 100.0f);
    camera.setPositionAndRotation({0.0f, 0.0f, 10.0f}, glm::vec3(0.0f));
    const auto centre = camera.screenPointToRay({400.0f, 300.0f});
    expectNear(centre[0], {0.0f, 0.0f, 9.5f}, 1e-4f);
    expectNear(centre[1], {0.0f, 0.0f, -1.0f}, 1e-4f);
    // The top-right corner: tan(45°) = 1 up, 4/3 to the right, per unit of depth.
    const auto corner = camera.screenPointToRay({800.0f, 600.0f});
    expectNear(corner[1], glm::normalize(glm::vec3(4.0f / 3.0f, 1.0f, -1.0f)), 1e-4f);
    expectNear(corner[0], glm::vec3(4.0f / 3.0f * 0.5f, 0.5f, 9.5f), 1e-4f);
}

TEST(CameraRay, OrthographicRaysAreParallelAndUseTheViewportSize) {
    test::testRenderer();
    Camera camera;
    camera.setViewport({0.5f, 0.0f}, {0.5f, 1.0f});  // 400 x 600 pixels, aspect 2:3
    const auto lowerLeft = camera.screenPointToRay({0.0f, 0.0f});
    expectNear(lowerLeft[0], {-2.0f / 3.0f, -1.0f, 1.0f}, 1e-4f);
    expectNear(lowerLeft[1], {0.0f, 0.0f, -1.0f}, 1e-4f);
    const auto upperRight = camera.screenPointToRay({400.0f, 600.0f});
    expectNear(upperRight[0], {2.0f / 3.0f, 1.0f, 1.0f}, 1e-4f);
}

// 400 x 400 logical pixels on the 800 x 600 window: a 600 x 600 picture between bars 100
// pixels wide; a position on the picture must give the point drawn there.
TEST(CameraRay, WithALogicalSizeRaysAreMeasuredFromThePictureBetweenTheBars) {
    Renderer& renderer = test::testRenderer();
    renderer.setLogicalSize({400, 400});
    Camera camera;
    camera.setWindowCoordinates();
    const auto lowerLeft = camera.screenPointToRay({100.0f, 0.0f});
    const auto centre = camera.screenPointToRay({400.0f, 300.0f});
    const auto upperRight = camera.screenPointToRay({700.0f, 600.0f});
    renderer.setLogicalSize({0, 0});
    const auto onPicture = [](const std::array<glm::vec3, 2>& ray) {
        return glm::vec3(ray[0].x, ray[0].y, 0.0f);
    };
    expectNear(onPicture(lowerLeft), {0.0f, 0.0f, 0.0f}, 1e-3f);
    expectNear(onPicture(centre), {200.0f, 200.0f, 0.0f}, 1e-3f);
    expectNear(onPicture(upperRight), {400.0f, 400.0f, 0.0f}, 1e-3f);
}

TEST(CameraRay, WithoutARendererIsAnErrorAndADefaultRay) {
    Renderer* const saved = Renderer::instance;
    Renderer::instance = nullptr;
    LogCapture capture;
    const auto ray = Camera().screenPointToRay({1.0f, 1.0f});
    Renderer::instance = saved;
    ASSERT_EQ(capture.records.size(), 1u);
    EXPECT_EQ(capture.records[0].type, LogType::Error);
    EXPECT_EQ(ray[0], glm::vec3(0.0f));
    EXPECT_EQ(ray[1], glm::vec3(0.0f, 0.0f, -1.0f));
}

}  // namespace
}  // namespace orka
