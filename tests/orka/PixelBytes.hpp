#pragma once
// Reading drawn pixels as the bytes a screenshot holds, for tests that compare colours.
#include <gtest/gtest.h>

#include <string>

#include "orka/Camera.hpp"
#include "orka/RenderPass.hpp"

namespace orka::test {

/// A pixel read back (0…1 a channel) as bytes.
inline glm::ivec4 bytesOf(const glm::vec4& pixel) {
    return glm::ivec4(glm::round(pixel * 255.0f));
}

/// Expects red, green and blue within 2 of `expected`; `what` names the pixel.
inline void expectBytesNear(glm::ivec4 bytes, glm::ivec3 expected, const std::string& what) {
    for (int c = 0; c < 3; c++) {
        EXPECT_NEAR(bytes[c], expected[c], 2) << what << ", channel " << c << ": (" << bytes.r
                                              << ", " << bytes.g << ", " << bytes.b << ")";
    }
}

/// A pass into the window in window coordinates (one unit a pixel), cleared to `clear`.
inline RenderPass windowPass(glm::vec4 clear) {
    Camera camera;
    camera.setWindowCoordinates();
    return RenderPass::create().withCamera(camera).withClearColor(true, clear).build();
}

}  // namespace orka::test
