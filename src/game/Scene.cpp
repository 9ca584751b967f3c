#include "game/Scene.hpp"

#include "game/Application.hpp"
#include "game/GameObject.hpp"
#include "game/Logger.hpp"
#include "game/PhysicsBody.hpp"
#include "game/SceneManager.hpp"
#include "orka/Camera.hpp"
#include "orka/RenderPass.hpp"
#include "orka/SpriteBatch.hpp"

namespace {

const glm::vec4 kDebugLineColor(1.0f, 1.0f, 1.0f, 1.0f);

PhysicsBody* BodyComponent(b2Body* body) {
    return reinterpret_cast<PhysicsBody*>(body->GetUserData().pointer);
}

}  // namespace

Scene::Scene() = default;

Scene::~Scene() {
    // Take the level down while the scene is still whole: destroying bodies reports the end of
    // their contacts to this listener.
    levelManager.Reset();
    if (world != nullptr) {
        world->SetContactListener(nullptr);
        world->SetDebugDraw(nullptr);
    }
}

void Scene::LoadLevel(std::string worldName) {
    Logger::Debug("Loading level: " + worldName);
    levelManager.Reset();
    updateEvent.Clear();
    spriteDrawEvent.Clear();
    physicsStepEvent.Clear();
    keyInputEvent.Clear();
    levelRunning = true;

    world = std::make_shared<b2World>(b2Vec2(0.0f, gravityY));
    world->SetContactListener(this);
    levelManager.LoadFirstLevel(MakeLevelContext(), std::move(worldName));
    world->SetDebugDraw(&debugDraw);

    Logger::Debug("Begin InitialiseSelf");
    InitialiseLevel();
    Logger::Debug("Level load complete.");
}

void Scene::ReloadLevel() {
    auto freshWorld = std::make_shared<b2World>(b2Vec2(0.0f, gravityY));
    freshWorld->SetContactListener(this);
    freshWorld->SetDebugDraw(&debugDraw);
    LevelContext context = MakeLevelContext();
    context.world = freshWorld;
    levelManager.ReloadLevel(context);
    // The old level's bodies are gone with it; its world goes too.
    if (world != nullptr) {
        world->SetContactListener(nullptr);
        world->SetDebugDraw(nullptr);
    }
    world = std::move(freshWorld);
    levelRunning = true;
    InitialiseLevel();
    Logger::Debug("Level reloaded: " + levelManager.CurrentLevelFile());
}

void Scene::Update(float deltaTime) {
    Logger::Verbose("Begin physics step");
    if (world != nullptr) world->Step(timeStep, velocityIterations, positionIterations);
    if (physicsStepEvent.GetCount() >= 1) physicsStepEvent.Invoke();
    Logger::Verbose("End physics step");
    Logger::Verbose("Begin frame update");
    if (updateEvent.GetCount() >= 1) updateEvent.Invoke(deltaTime);
    Logger::Verbose("End frame update");
    if (levelRunning) return;

    levelManager.UnloadLevel();
    levelManager.LoadNextLevel(MakeLevelContext());
    InitialiseLevel();
    // Log readers (and tests) match this exact text: leave it as it is.
    Logger::Verbose("You Win");
    levelRunning = true;
}

void Scene::Draw() {
    // Drawn only once the console dialogue is over; a scene driven without the console
    // application always draws.
    const Application* application = Application::GetExistingInstance();
    if (application != nullptr && !application->started) return;
    Logger::Verbose("Begin frame draw");
    // Before the first level there is no camera: a default one clears the window.
    const orka::Camera fallbackCamera;
    const orka::Camera* camera = GetLevelData().camera;
    orka::RenderPass pass =
        orka::RenderPass::create().withCamera(camera != nullptr ? *camera : fallbackCamera).build();
    orka::SpriteBatch::SpriteBatchBuilder sprites = orka::SpriteBatch::create();
    // Every subscribed renderer adds one sprite: room for all of them at once, rather than
    // copying the sprites over again each time the list grows.
    sprites.reserve(static_cast<size_t>(spriteDrawEvent.GetCount()));
    if (spriteDrawEvent.GetCount() >= 1) spriteDrawEvent.Invoke(sprites);
    pass.draw(sprites.build(), glm::mat4(1.0f));

    debugDrawEnabled = application != nullptr && application->debug;
    if (debugDrawEnabled && world != nullptr) {
        world->DebugDraw();
        if (!debugDraw.GetLines().empty()) {
            pass.drawLines(debugDraw.GetLines(), kDebugLineColor, orka::MeshTopology::Lines);
        }
        debugDraw.ClearLines();
    }
    if (drawGui && orka::RenderPass::guiFrameOpen()) drawGui();
    Logger::Verbose("End frame draw");
}

LevelContext Scene::MakeLevelContext() {
    // The atlas is the scene manager's, looked up at each load: a manager driven by hand may
    // set it after the scene was made.
    const SceneManager* manager = SceneManager::GetInstance();
    LevelContext context{&updateEvent, &spriteDrawEvent, &physicsStepEvent, &keyInputEvent, world};
    context.atlas = manager != nullptr ? manager->spriteAtlas.get() : nullptr;
    return context;
}

// Behaviours find their siblings in `Initialise`, after every object has set itself up.
void Scene::InitialiseLevel() {
    for (const auto& object : GetLevelData().objects) object->InitialiseSelf();
    Logger::Debug("Begin Initialise");
    for (const auto& object : GetLevelData().objects) object->Initialise();
}

void Scene::SetLevelOver() {
    levelRunning = false;
}

float Scene::GetDeathLevelInY() const {
    return GetLevelData().deathLevelInY;
}

void Scene::BeginContact(b2Contact* contact) {
    RouteContact(contact, false);
}

void Scene::EndContact(b2Contact* contact) {
    RouteContact(contact, true);
}

void Scene::RouteContact(b2Contact* contact, bool exit) {
    b2Body* bodyA = contact->GetFixtureA()->GetBody();
    b2Body* bodyB = contact->GetFixtureB()->GetBody();
    if (bodyA == bodyB) return;
    PhysicsBody* a = BodyComponent(bodyA);
    PhysicsBody* b = BodyComponent(bodyB);
    // Bodies made outside the game's components carry no component.
    if (a == nullptr || b == nullptr) return;
    a->OnCollision(b->gameObject, exit);
    b->OnCollision(a->gameObject, exit);
}
