#pragma once

#include <glm/vec2.hpp>
#include <vector>

#include "orka/Sprite.hpp"
#include "orka/SpriteBatch.hpp"

/// The layers of a level's "backdrop", drawn behind its tiles. Each layer is one atlas sprite
/// repeated side by side across the whole view at its own width, stretched or shrunk to the
/// view's height, and moved sideways by `parallax` times the camera's movement: 0 keeps it
/// still on the screen, 1 moves it with the level. Layers are drawn in the order they were
/// added, the first farthest back.
///
/// Holds the sprites by value; their atlas texture must outlive the backdrop (the scene manager
/// keeps the atlas for the whole game).
class Backdrop {
public:
    /// Order in the sprite batch of the first layer; the next layers follow it. Far below the
    /// tiles' order (0), so every layer is drawn before any tile.
    static constexpr int firstLayerOrder = -1000;

    /// Adds a layer in front of the ones added before. `parallax`: 0 to 1.
    void AddLayer(const orka::Sprite& sprite, float parallax);
    bool IsEmpty() const { return layers.empty(); }

    /// Adds the sprites that cover the view, whose lower-left and upper-right corners are
    /// `viewMin` and `viewMax` (game units), to `batch`. A sprite without texture or size is
    /// left out.
    void AddTo(orka::SpriteBatch::SpriteBatchBuilder& batch, glm::vec2 viewMin,
               glm::vec2 viewMax) const;

private:
    struct Layer {
        orka::Sprite sprite;
        float parallax = 0.0f;
    };
    void AddLayerTo(orka::SpriteBatch::SpriteBatchBuilder& batch, const Layer& layer, int order,
                    glm::vec2 viewMin, glm::vec2 viewMax) const;

    std::vector<Layer> layers;
};
