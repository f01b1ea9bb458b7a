// The public hanging: staging, the noose rig, and its course frame by frame.
#include <cstdio>
#include <set>

#include "events/hanging.h"
#include "fixture.h"
#include "game/timing.h"
#include "handlers.h"
#include "world/spawning.h"

namespace sagebrook::testing {
namespace {

constexpr float kGround = 2.0f;
constexpr const char* kLeadIn = "A hanging is taking place nearby...";
constexpr const char* kHanged = "Execution: victim hanged";
constexpr const char* kFreed = "Execution: victim freed - greetable stranger, interact enabled";

std::tuple<float, float, float> Xyz(sim::Vec3 v) {
  return {v.x, v.y, v.z};
}
bool Has(const std::vector<int32_t>& list, int32_t handle) {
  return std::count(list.begin(), list.end(), handle) > 0;
}
bool HasBlip(int32_t entity) {
  return std::any_of(EventBlips.begin(), EventBlips.end(),
                     [entity](const BlipRecord& r) { return r.entity == entity; });
}

// Flat ground, the hanging's models (the props stream in over two frames) and
// a wide beam 4 m up; ambient events off, logging on after the first frame.
class HangingTest : public PluginTest {
 protected:
  void SetUp() override {
    PluginTest::SetUp();
    Ground(kGround);
    for (const char* model : TownsfolkModels) sim::AddModel(model);
    for (const char* model : CriminalModels) sim::AddModel(model);
    for (const char* prop : {"p_shotglass01x", "p_noose02x"}) sim::AddModel(prop, 2, false);
    Beam(kGround + 4.0f);
    Settings.ambientEvents = 0;
    RunFrame();
    Settings.logging = 1;
  }
  void Beam(float height) { world().overheads = {{0.0f, 0.0f, 1000.0f, height}}; }
  sim::Model& Model(const char* name) { return world().models[sim::HashName(name)]; }
  ExecutionStateRecord& state() { return ExecutionState; }
  int32_t Stage() {
    StartPublicHanging(world().playerPed);
    return state().victim;
  }
  // Runs the lead-in up to the frame that fits the noose.
  void RunToRig() {
    while (state().active && !TickAfter(world().tick, state().phaseDeadline)) RunFrame();
  }
  // Staged and rigged: the next frame is the hanging's first.
  int32_t Hang() {
    const int32_t victim = Stage();
    RunToRig();
    RunFrame();
    return victim;
  }
};

TEST_F(HangingTest, StagingTakesOnlyACeilingAbove2Point6MetresAndOneHangingAtATime) {
  Beam(kGround + 2.6f);
  Stage();
  world().overheads.clear();
  Stage();
  EXPECT_EQ(std::make_tuple(Logged("] EVENT Execution: no tree/beam overhead found nearby - "
                                   "skipped\r\n"),
                            Logged("\n"), Notification.text[0], world().entities.size()),
            std::make_tuple(2u, 2u, '\0', 1u));  // quietly, only the player
  std::set<std::pair<float, float>> sites;
  for (const auto& [handle, ray] : world().rays) {
    EXPECT_EQ(std::make_tuple(ray.from.z, ray.to.z, ray.to.x, ray.to.y),
              std::make_tuple(kGround + 1.0f, kGround + 8.0f, ray.from.x, ray.from.y));
    sites.insert({ray.from.x, ray.from.y});
  }
  EXPECT_EQ(sites.size(), 20u) << "ten fresh sites each time";

  Beam(kGround + 2.61f);
  const int32_t victim = Stage();
  EXPECT_NEAR(state().anchor.z - kGround, 2.41f, 1e-5f);
  const size_t entities = world().entities.size();
  EXPECT_EQ(Stage(), victim);
  EXPECT_STREQ(Notification.text, "An execution is already underway");
  EXPECT_EQ(std::make_tuple(world().entities.size(), Logged("\n")), std::make_tuple(entities, 3u));
}

TEST_F(HangingTest, TheVictimStandsUnderTheAnchorAndTwoArmedOutlawsFaceHim) {
  const int32_t victim = Stage();
  const sim::Entity& v = Entity(victim);
  const ScriptVector a = state().anchor;
  EXPECT_EQ(Xyz(v.position), Xyz({a.x, a.y, kGround}));
  EXPECT_EQ(a.z, kGround + 4.0f - 0.2f);
  const int32_t* guards = state().executioners;
  const uint32_t revolver = sim::HashName("WEAPON_REVOLVER_CATTLEMAN");
  for (int i = 0; i < 2; ++i) {
    const sim::Entity& e = Entity(guards[i]);
    EXPECT_EQ(Xyz(e.position), Xyz({a.x + (i ? 1.6f : -1.6f), a.y + 2.0f, kGround}));
    EXPECT_EQ(std::make_tuple(e.group, e.settings.at("facing"), e.settings.at("accuracy"),
                              e.settings.at("combatStyle"), e.settings.at("combatAttribute46"),
                              e.settings.at("combatAttribute5"), e.settings.at("combatAbility"),
                              e.settings.at("standStillMs"), e.promptName),
              std::make_tuple(v.group, static_cast<float>(victim), 40.0f, 2.0f, 1.0f, 1.0f, 2.0f,
                              -1.0f, std::string("Stranger")));
    EXPECT_NE(e.currentWeapon, 0u) << "armed when spawned";
    EXPECT_EQ(e.weapons.at(revolver) % 250, 120) << "and given the revolver";
  }
  EXPECT_EQ(std::make_tuple(v.group, v.promptName, v.settings.count("fleeAttributes"),
                            v.settings.count("captiveWaitMs")),
            std::make_tuple(sim::HashName("RE_VICTIM"), std::string("Stranger"), 1u, 1u));
  EXPECT_TRUE(EventBlips.size() == 1 && EventBlips[0].entity == victim && !EventBlips[0].expiry);
  char line[96];
  std::snprintf(line, sizeof line, "EVENT Execution(hang): victim=%d e0=%d e1=%d anchorZ=5.8",
                victim, guards[0], guards[1]);
  EXPECT_EQ(Logged(line), 1u);
  EXPECT_STREQ(Notification.text, "Outlaws are stringing someone up...");
  EXPECT_EQ(state().phaseDeadline, world().tick + 6000);
}

// Nothing was hanged, so nothing is announced and the player is left alone.
TEST_F(HangingTest, AVictimGoneWhileTheGuardsStreamInEndsItWithoutPlayerCalls) {
  for (const char* model : CriminalModels) Model(model).framesToStream = 2;
  sim::SetAfterWait([this] {
    if (!SpawnedPeds.empty() && Entity(SpawnedPeds[0]).exists) sim::RemoveEntity(SpawnedPeds[0]);
  });
  Stage();
  sim::SetAfterWait(nullptr);
  RunFor(1000);
  EXPECT_TRUE(!state().active && EventBlips.empty() && world().playerCalls.empty());
  EXPECT_EQ(SpawnedPeds.size(), 1u) << "the guards are let go";
  for (const char* model : TownsfolkModels) world().models.erase(sim::HashName(model));
  Stage();  // no victim, no guards
  EXPECT_TRUE(!state().active && SpawnedPeds.size() == 1u && Logged("EVENT") == 0u);
}

TEST_F(HangingTest, TheRigTiesTheNeckToAHiddenFrozenAnchorWithARopeThatFitsTheDrop) {
  const int32_t victim = Stage();
  sim::ClearTrace();
  RigNoose(victim);
  const std::set<std::string> asks = {"EntityExists",  "DoesRopeExist",  "HashName",
                                      "IsModelValid",  "IsModelInImage", "RequestModel",
                                      "HasModelLoaded"};
  std::string acts;
  for (const std::string& name : sim::TraceNames()) acts += asks.count(name) ? "" : name + " ";
  EXPECT_EQ(acts,
            "GetGroundZ CreateObject ReleaseModel SetEntityVisible FreezeEntityPosition "
            "SetEntityCoords PrepareHangingVictimA SetPedIgnoresEvents PrepareHangingVictimB "
            "PrepareHangingVictimC GetEntityCoords GetDistanceBetweenCoords AddRope CreateObject "
            "ReleaseModel GetPedBoneIndex AttachEntityToEntity AttachEntitiesToRope PrepareRopeA "
            "ApplyRopeStyle SetPedToRagdoll PrepareRopeB SetPedIgnoresEvents ");

  ASSERT_EQ(RigObjects.size(), 2u);
  const ScriptVector a = state().anchor;
  const sim::Entity& holder = Entity(RigObjects[0]);
  const sim::Entity& noose = Entity(RigObjects[1]);
  EXPECT_EQ(std::make_tuple(holder.model, Xyz(holder.position), holder.settings.at("visible"),
                            holder.settings.at("frozen")),
            std::make_tuple(sim::HashName("p_shotglass01x"), Xyz({a.x, a.y, a.z}), 0.0f, 1.0f));
  EXPECT_EQ(std::make_tuple(noose.model, noose.attachedTo, noose.attachedBone),
            std::make_tuple(sim::HashName("p_noose02x"), victim, sim::BoneIndex(14283)));
  ASSERT_EQ(RigRopes.size(), 1u);
  const sim::Rope& rope = world().ropes.at(RigRopes[0]);
  EXPECT_EQ(Xyz(rope.position), Xyz({a.x, a.y, kGround}));
  EXPECT_NEAR(rope.length, 4.55f, 1e-5f);
  EXPECT_EQ(std::make_tuple(rope.maxLength, rope.entityA, rope.entityB, rope.boneA, rope.style,
                            rope.styleLength),
            std::make_tuple(rope.length + 3.0f, victim, RigObjects[0], std::string("SKEL_NECK0"),
                            std::string("noose01x_Rope_03"), rope.length));
  EXPECT_EQ(std::make_tuple(Entity(victim).ragdollMs, Entity(victim).settings.at("ignoresEvents"),
                            state().hung, state().rope),
            std::make_tuple(600000, 0.0f, true, RigRopes[0]));
  char line[96];
  std::snprintf(line, sizeof line, "Execution: hung victim=%d branchH=3.8 length=%.1f", victim,
                static_cast<double>(rope.length));
  EXPECT_EQ(Logged(line), 1u);

  // The log clamps the branch height; the rope fits the real drop, ground or not.
  for (auto [above, ground, withNoose, branch, drop] :
       {std::tuple{7.5f, true, true, "branchH=6.0", 7.5f},
        {2.5f, true, true, "branchH=3.0", 2.5f},
        {4.5f, false, true, "branchH=3.0", 3.0f},
        {4.5f, true, false, "branchH=4.5", 4.5f}}) {
    if (!ground) world().ground = nullptr;
    Model("p_noose02x").inImage = withNoose;
    const size_t parts = RigObjects.size() + RigRopes.size();
    state().anchor = MakeVector(5.0f, 5.0f, kGround + above);
    RigNoose(AddPed());
    const sim::Rope& made = world().ropes.at(RigRopes.back());
    EXPECT_EQ(std::make_tuple(Logged(branch), RigObjects.size() + RigRopes.size() - parts),
              std::make_tuple(1u, withNoose ? 3u : 2u));
    EXPECT_NEAR(made.position.z, kGround + above - drop, 1e-5f) << above;
    EXPECT_NEAR(made.length, drop + 0.75f, 1e-5f) << above;
    Ground(kGround);
    std::filesystem::remove(FilePath(kLogFileName));
  }
}

// Each failure leaves no prop or rope behind and the hanging runs out its time.
TEST_F(HangingTest, ARigThatCannotMakeItsAnchorOrRopeLeavesNothingAndRunsOutItsTime) {
  enum Failure { kNoModel, kRefusedObject, kRopeZero, kRopeNone, kAnchorTaken, kRopeTaken };
  for (Failure f : {kNoModel, kRefusedObject, kRopeZero, kRopeNone, kAnchorTaken, kRopeTaken}) {
    sim::InstallHangingHandlers();
    Model("p_shotglass01x") = {.framesToStream = 2, .refused = f == kRefusedObject};
    Model("p_noose02x") = {.framesToStream = 2};
    if (f == kNoModel) world().models.erase(sim::HashName("p_shotglass01x"));
    if (f == kRopeZero || f == kRopeNone) {
      sim::SetHandler("AddRope",
                      [f](sim::Call&, uint64_t* r) { sim::SetInt(r, -(f == kRopeNone)); });
    }
    const int32_t victim = Stage();
    RunToRig();
    // The game removes the anchor prop, or the rope made after it, while the
    // noose streams in.
    const int32_t anchorProp = world().nextHandle;
    sim::ScheduleAtFrame(world().frame + 2, [=] {
      if (f == kAnchorTaken) sim::RemoveEntity(anchorProp);
    });
    sim::SetAfterWait([=, this] {
      for (auto& [handle, rope] : world().ropes) rope.exists &= f != kRopeTaken;
    });
    RunFrame();
    sim::SetAfterWait(nullptr);
    ASSERT_TRUE(state().active && !state().hung) << f;
    EXPECT_TRUE(RigObjects.empty() && RigRopes.empty()) << f;
    for (const auto& [handle, e] : world().entities)
      EXPECT_FALSE(e.exists && e.kind == sim::EntityKind::Object) << f;
    for (const auto& [handle, rope] : world().ropes) EXPECT_FALSE(rope.exists) << f;
    EXPECT_NE(Entity(victim).settings["ignoresEvents"], 1.0f) << f;
    const uint32_t limit = state().phaseDeadline;
    while (state().active) RunFrame();
    EXPECT_TRUE(TickAfter(world().tick - 16, limit) && !TickAfter(world().tick - 32, limit)) << f;
    EXPECT_EQ(Logged(kHanged), static_cast<size_t>(f) + 1);
  }
  EXPECT_EQ(Logged("hung victim"), 0u);
}

TEST_F(HangingTest, AVictimKilledInTheLeadInIsRiggedAndTheNextFrameLetsEveryoneGo) {
  const int32_t victim = Stage();
  const int32_t e0 = state().executioners[0], e1 = state().executioners[1];
  SpawnedPeds.insert(SpawnedPeds.end(), {victim, e0});  // every occurrence must go
  RunFor(1000);
  Entity(victim).dead = true;
  RunToRig();
  RunFrame();
  ASSERT_TRUE(state().active && state().hung);
  const int32_t rope = state().rope;
  sim::RemoveEntity(e1);  // a vanished guard is skipped
  RunFrame();
  EXPECT_EQ(Logged(kHanged), 1u);
  EXPECT_EQ(std::make_tuple(state().active, state().victim, state().executioners[0],
                            state().executioners[1], state().rope),
            std::make_tuple(false, 0, 0, 0, rope));
  EXPECT_TRUE(Entity(victim).released && Entity(e0).released && !Entity(e1).released);
  EXPECT_EQ(Entity(e0).settings.at("ignoresEvents") + Entity(e0).settings.at("tasksCleared"), 1.0f);
  EXPECT_FALSE(Has(SpawnedPeds, victim) || Has(SpawnedPeds, e0) || HasBlip(victim));
}

TEST_F(HangingTest, ABrokenOrVanishedRopeOrTheGroundAfterFiveSecondsFreesTheLivingVictim) {
  int32_t victim = 0;
  for (const auto& [afterMs, vanish] : {std::pair{0u, false}, {1000u, true}, {30000u, false}}) {
    victim = Hang();
    Entity(victim).health = 1000;
    RunFor(afterMs);
    sim::Rope& rope = world().ropes.at(state().rope);
    (vanish ? rope.exists : rope.broken) = !vanish;  // gone, or broken
    RunFrame();
    const sim::Entity& v = Entity(victim);
    EXPECT_EQ(rope.detached, vanish ? std::vector<int32_t>{} : std::vector{victim});
    EXPECT_EQ(std::make_tuple(state().active, v.ragdollMs, v.settings.at("tasksCleared"),
                              v.promptName, v.released),
              std::make_tuple(false, 1500, 1.0f, std::string("Stranger"), false));
    EXPECT_TRUE(Has(SpawnedPeds, victim) && Has(PendingStrangers, victim) && !HasBlip(victim));
  }
  EXPECT_EQ(std::make_tuple(Logged(kFreed), Logged(kHanged)), std::make_tuple(3u, 0u));

  // Kept happy every frame for 12 s.
  RunFor(11980);
  sim::ClearTrace();
  RunFrame();
  EXPECT_EQ(sim::CountCalls("SetPedMood"), 1u);
  RunFor(40);
  EXPECT_TRUE(Entity(victim).mood == sim::HashName("Mood_Happy") && !FreedVictimMood.freedVictim);

  // The rope let him down at once: early on only the rope counts.
  victim = Hang();
  Entity(victim).position.z = kGround + 0.5f;
  while (!TickAfter(world().tick, state().hungAt + 5000)) RunFrame();
  EXPECT_TRUE(state().active);
  RunFrame();
  EXPECT_TRUE(!state().active && Has(PendingStrangers, victim) && Logged(kFreed) == 4u);
}

// On rope 0, which the game may hand out like any other.
TEST_F(HangingTest, HealthDrainsFourPointsAtLeast300MsApartUntilTheRopeKills) {
  const sim::Handler make = sim::GetHandler("AddRope");
  sim::SetHandler("AddRope", [make](sim::Call& c, uint64_t* r) {
    make(c, r);
    auto& ropes = sim::GetWorld().ropes;
    ropes.insert({0, ropes.extract(static_cast<int32_t>(*r)).mapped()});
    sim::SetInt(r, 0);
  });
  const int32_t victim = Hang();
  ASSERT_EQ(std::make_tuple(state().hung, RigRopes), std::make_tuple(true, std::vector{0}));
  const uint32_t first = world().tick;
  std::vector<uint32_t> drains;
  for (uint32_t now = first; state().active; now = world().tick) {
    const int32_t health = Entity(victim).health;
    RunFrame();
    if (Entity(victim).health != health) drains.push_back(now);
  }
  ASSERT_EQ(drains.size(), 25u);
  EXPECT_EQ(drains[0], first) << "due in the first frame after the rig";
  for (size_t i = 1; i < drains.size(); ++i) EXPECT_EQ(drains[i] - drains[i - 1], 304u) << i;
  EXPECT_EQ(Entity(victim).ragdollMs, 5000);
  EXPECT_TRUE(Entity(victim).health == 0 && Entity(victim).released);
  EXPECT_EQ(Logged(kHanged), 1u);
  ClearSpawned();
  EXPECT_TRUE(world().ropes.at(0).deleted);
  sim::SetHandler("AddRope", make);

  const int32_t next = Hang();  // a health near the bottom of the range must not overflow
  sim::SetHandler("GetEntityHealth", [](sim::Call&, uint64_t* r) { sim::SetInt(r, INT32_MIN); });
  RunFor(320);
  EXPECT_EQ(Entity(next).health, 0);
}

// Fired from the menu. The tick starts far past 0, where an unset end could seem ahead,
// and jumps 2^31 ms at the end, where a passed deadline would read as ahead again.
TEST_F(HangingTest, AtTheLimitTheLivingVictimIsKeptAndThePlayerCallsGoOn30sMoreThenNever) {
  world().playerIndex = 3;
  world().tick = 3000000000u;
  RunFrames(20);
  EXPECT_TRUE(world().playerCalls.empty()) << "never before the first hanging";
  OnlyKind(&SettingsRecord::publicHanging);
  for (const char* prop : {"p_shotglass01x", "p_noose02x"}) Model(prop).framesToStream = 0;
  Press(KeyBindings.menuKey);
  Press(KeyBindings.selectKey);  // Trigger Event Now
  const int32_t victim = state().victim;
  EXPECT_GT(CountTexts(kLeadIn), 0u);
  int frames = 1;
  for (; state().phase == 0; ++frames) {
    RunFrame();
    EXPECT_GT(CountTexts(kLeadIn), 0u) << frames;
  }
  EXPECT_EQ(frames, 6000 / 16 + 2) << "every frame up to the deadline, and the rig's";
  Press(KeyBindings.backKey);
  Entity(victim).health = 100000;
  const uint32_t limit = state().phaseDeadline;
  while (state().active) RunFrame();
  const uint32_t end = world().tick - 16;
  EXPECT_TRUE(TickAfter(end, limit) && !TickAfter(end - 16, limit));
  EXPECT_EQ(Logged(kHanged), 1u);
  EXPECT_FALSE(Entity(victim).released || Entity(victim).dead || Has(PendingStrangers, victim));
  EXPECT_TRUE(Has(SpawnedPeds, victim) && HasBlip(victim));
  EXPECT_EQ(executionQuietUntil, end + 30000);
  for (int i = 0; i < 2000; ++i) {
    const size_t before = world().playerCalls.size();
    const uint32_t now = world().tick;
    RunFrame();
    EXPECT_EQ(world().playerCalls.size() - before, now - end < 30000 ? 3u : 0u) << now;
    EXPECT_EQ(CountTexts(kLeadIn), 0u);
  }
  const sim::PlayerCall* last = &world().playerCalls.back() - 2;
  EXPECT_EQ(std::make_tuple(last[0].which, last[0].player, last[2].which, last[2].player),
            std::make_tuple('A', 3, 'C', 3));

  const size_t calls = world().playerCalls.size();
  world().tick += 0x80000000u + 1000u;
  RunFrames(2);
  EXPECT_EQ(world().playerCalls.size(), calls);
  EXPECT_EQ(CountTexts("Outlaws are stringing someone up..."), 0u);
}

TEST_F(HangingTest, ClearSpawnedOrAVanishedVictimStandsTheHangingDownInAnyPhase) {
  // Phases: the lead-in, the rig (while the noose streams in), the hanging.
  for (int phase : {0, 1, 2}) {
    for (bool clear : {true, false}) {
      if (phase == 1 && clear) continue;  // Clear Spawned cannot run inside a frame
      const int32_t first = world().nextHandle, victim = phase == 2 ? Hang() : Stage();
      const int32_t guard = state().executioners[0], rope = state().rope;
      const size_t lines = Logged("\n");
      if (phase == 1) {
        RunToRig();
        sim::ScheduleAtFrame(world().frame + 2, [victim] { sim::RemoveEntity(victim); });
        RunFrame();
      } else if (clear) {
        ClearSpawned();
      } else {
        sim::RemoveEntity(victim);
      }
      sim::ClearTrace();
      RunFor(1000);
      const ExecutionStateRecord& s = state();
      const bool kept = !clear && phase == 2;  // the rig stays until Clear Spawned
      EXPECT_EQ(std::make_tuple(s.active, s.victim, s.executioners[0], s.executioners[1],
                                s.anchorObject != 0, s.rope != kNoRope, s.hung),
                std::make_tuple(false, 0, 0, 0, kept, kept, kept));
      EXPECT_TRUE(clear ? Entity(guard).deleted : Entity(guard).released);
      for (const auto& [handle, e] : world().entities) {
        if (handle < first || e.kind != sim::EntityKind::Object) continue;
        EXPECT_EQ(e.exists, kept) << phase << clear;
      }
      EXPECT_TRUE(phase != 2 || world().ropes.at(rope).deleted == clear);
      EXPECT_EQ(sim::CountCalls("SetPedToRagdoll") + CountTexts(kLeadIn), 0u);
      EXPECT_EQ(Logged("\n"), lines) << "silently";
    }
  }
}

}  // namespace
}  // namespace sagebrook::testing
