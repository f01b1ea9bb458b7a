// The spawned-entity lists and their cleanup passes, and the event dispatcher.
#include <algorithm>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "fixture.h"

namespace sagebrook::testing {
namespace {

class RegistryTest : public PluginTest {
 protected:
  int32_t Add(sim::EntityKind kind, sim::Vec3 at = {1.0f, 0.0f, 10.0f}) {
    return sim::AddEntity(kind, at);
  }
  int32_t Ped(sim::Vec3 at = {1.0f, 0.0f, 10.0f}) { return Add(sim::EntityKind::Ped, at); }
  static std::vector<int32_t> BlipEntities() {
    std::vector<int32_t> entities;
    for (const BlipRecord& r : EventBlips) entities.push_back(r.entity);
    return entities;
  }
  bool BlipExists(int32_t blip) { return world().blips.at(blip).exists; }
};

TEST_F(RegistryTest, BlipRecordsEndWithTheirEntityOrTheirExpiry) {
  const int32_t dies = Ped(), vanishes = Ped(), bare = Ped(), expires = Ped(), stays = Ped();
  const uint32_t now = world().tick;
  const int32_t gone = sim::AddBlip(bare, 1);
  world().blips[gone].exists = false;  // the game already took this blip away
  EventBlips = {{sim::AddBlip(dies, 1), 0, dies},
                {sim::AddBlip(vanishes, 1), 0, vanishes},
                {gone, 0, bare},
                {sim::AddBlip(expires, 1), now + 1000, expires},
                {sim::AddBlip(stays, 1), 0, stays}};
  const std::vector<BlipRecord> records = EventBlips;
  sim::FindEntity(dies)->dead = true;
  sim::RemoveEntity(vanishes);
  sim::RemoveEntity(bare);
  BlipUpkeep();
  EXPECT_EQ(BlipEntities(), (std::vector<int32_t>{expires, stays}));
  EXPECT_FALSE(BlipExists(records[0].blip));
  EXPECT_FALSE(BlipExists(records[1].blip));
  EXPECT_EQ(sim::CountCalls("RemoveBlip"), 2u);

  world().tick = now + 1000;
  BlipUpkeep();
  EXPECT_EQ(BlipEntities(), (std::vector<int32_t>{expires, stays}));
  world().tick = now + 1001;
  BlipUpkeep();
  EXPECT_EQ(BlipEntities(), (std::vector<int32_t>{stays}));
  EXPECT_FALSE(BlipExists(records[3].blip));
  world().tick = now + 2000000000u;
  BlipUpkeep();
  EXPECT_EQ(BlipEntities(), (std::vector<int32_t>{stays}));
  EXPECT_TRUE(BlipExists(records[4].blip));
}

TEST_F(RegistryTest, PeriodicUpkeepReleasesWhatIsBeyond250MetresAndDropsTheVanished) {
  // The player stands at (0, 0, 10).
  const int32_t atLimit = Ped({250.0f, 0.0f, 10.0f}), mover = Ped(), dead = Ped(), vanished = Ped(),
                above = Ped({0.0f, 0.0f, 260.1f});
  sim::FindEntity(dead)->dead = true;
  sim::RemoveEntity(vanished);
  SpawnedPeds = {atLimit, mover, dead, vanished, above};
  const int32_t nearCart = Add(sim::EntityKind::Vehicle, {0.0f, -250.0f, 10.0f}),
                farCart = Add(sim::EntityKind::Vehicle, {0.0f, -250.1f, 10.0f}),
                goneCart = Add(sim::EntityKind::Vehicle);
  sim::RemoveEntity(goneCart);
  SpawnedVehicles = {farCart, goneCart, nearCart};

  RunFrame();  // the first pass runs in the first frame
  EXPECT_EQ(SpawnedPeds, (std::vector<int32_t>{atLimit, mover, dead}));
  EXPECT_EQ(SpawnedVehicles, (std::vector<int32_t>{nearCart}));
  EXPECT_TRUE(sim::FindEntity(above)->released) << "the height counts";
  EXPECT_TRUE(sim::FindEntity(farCart)->released);
  EXPECT_FALSE(sim::FindEntity(atLimit)->released);
  EXPECT_EQ(sim::CountCalls("ReleasePed") + sim::CountCalls("ReleaseVehicle"), 2u);

  sim::FindEntity(mover)->position = {250.1f, 0.0f, 10.0f};
  RunFor(2400);
  EXPECT_EQ(SpawnedPeds.size(), 3u) << "not before the next pass";
  RunFor(200);
  EXPECT_EQ(SpawnedPeds, (std::vector<int32_t>{atLimit, dead}));
  EXPECT_TRUE(sim::FindEntity(mover)->released);
}

TEST_F(RegistryTest, ClearSpawnedDeletesInOrderAndKeepsHunterDogs) {
  const int32_t ped = Ped(), vanished = Ped(), dog = Ped();
  const int32_t cart = Add(sim::EntityKind::Vehicle), prop = Add(sim::EntityKind::Object),
                lostProp = Add(sim::EntityKind::Object);
  sim::RemoveEntity(vanished);
  sim::RemoveEntity(lostProp);
  const int32_t blip = sim::AddBlip(ped, 1), takenBlip = sim::AddBlip(dog, 1);
  world().blips[takenBlip].exists = false;
  const int32_t rope = 900, unknownRope = 901;
  world().ropes[rope] = sim::Rope{};
  EventBlips = {{blip, 0, ped}, {takenBlip, 0, dog}};
  SpawnedPeds = {ped, vanished, dog};
  HunterDogs = {dog};
  SpawnedVehicles = {cart};
  RigObjects = {lostProp, prop};
  RigRopes = {rope, unknownRope};
  PendingStrangers = {ped};

  sim::ClearTrace();
  ClearSpawned();
  std::vector<std::string> acts;
  for (const std::string& name : sim::TraceNames()) {
    if (name.rfind("Delete", 0) == 0 || name == "RemoveBlip") acts.push_back(name);
  }
  EXPECT_EQ(acts, (std::vector<std::string>{"RemoveBlip", "DeletePed", "DeletePed", "DeleteVehicle",
                                            "DeleteObject", "DeleteRope", "DeleteRope"}));
  EXPECT_EQ(sim::CountCalls("DoesRopeExist"), 0u);
  for (int32_t e : {ped, dog, cart, prop}) EXPECT_TRUE(sim::FindEntity(e)->deleted) << e;
  EXPECT_FALSE(world().blips[blip].exists);
  EXPECT_TRUE(world().ropes[rope].deleted);
  EXPECT_TRUE(EventBlips.empty());
  for (auto* list : {&SpawnedPeds, &SpawnedVehicles, &RigObjects, &RigRopes, &PendingStrangers}) {
    EXPECT_TRUE(list->empty());
  }
  EXPECT_EQ(HunterDogs, (std::vector<int32_t>{dog}));
  EXPECT_STREQ(Notification.text, "Cleared spawned events");
}

TEST_F(RegistryTest, RemoveEventBlipsTakesEveryRecordOfOneEntity) {
  const int32_t a = Ped(), b = Ped();
  const int32_t a1 = sim::AddBlip(a, 1), a2 = sim::AddBlip(a, 2), aGone = sim::AddBlip(a, 3);
  world().blips[aGone].exists = false;
  EventBlips = {{a1, 0, a}, {sim::AddBlip(b, 1), 0, b}, {a2, 5, a}, {aGone, 0, a}, {0, 0, 0}};
  RemoveEventBlips(0);
  EXPECT_EQ(EventBlips.size(), 5u) << "entity 0 is no entity";
  RemoveEventBlips(a);
  EXPECT_EQ(BlipEntities(), (std::vector<int32_t>{b, 0}));
  EXPECT_FALSE(BlipExists(a1));
  EXPECT_FALSE(BlipExists(a2));
  EXPECT_EQ(sim::CountCalls("RemoveBlip"), 2u);
}

TEST(RegistryLists, RemoveFirstAndRemoveEveryKeepTheOrderOfTheRest) {
  std::vector<int32_t> list{7, 1, 7, 2, 7};
  RemoveFirst(list, 9);
  RemoveEvery(list, 9);
  EXPECT_EQ(list, (std::vector<int32_t>{7, 1, 7, 2, 7}));
  RemoveFirst(list, 7);
  EXPECT_EQ(list, (std::vector<int32_t>{1, 7, 2, 7}));
  RemoveEvery(list, 7);
  EXPECT_EQ(list, (std::vector<int32_t>{1, 2}));
}

std::vector<int32_t> Started;  // kinds, 1 to 5
std::vector<int32_t> StartedWith;

template <int32_t kKind>
void ProbeStart(int32_t playerPed) {
  Started.push_back(kKind);
  StartedWith.push_back(playerPed);
}

class DispatcherTest : public PluginTest {
 protected:
  static constexpr int32_t kPed = 4242;
  void SetUp() override {
    PluginTest::SetUp();
    Started.clear();
    StartedWith.clear();
    const EventStart probes[] = {ProbeStart<1>, ProbeStart<2>, ProbeStart<3>, ProbeStart<4>,
                                 ProbeStart<5>};
    std::copy(std::begin(probes), std::end(probes), EventStarts);
  }
};

TEST_F(DispatcherTest, DrunkenFolkIsACandidateFrom19To5AndTheDrawPicksByIndex) {
  for (int32_t hour : {5, 6, 18, 19}) {
    world().clockHour = hour;
    const bool night = hour == 5 || hour == 19;
    const std::vector<int32_t> candidates =
        night ? std::vector<int32_t>{1, 2, 3, 4, 5} : std::vector<int32_t>{1, 2, 3, 5};
    std::set<int32_t> seen;
    for (uint32_t seed = 0; seed < 40; ++seed) {
      sagebrook::srand(seed);
      const auto r = static_cast<size_t>(sagebrook::rand());
      sagebrook::srand(seed);
      Started.clear();
      DispatchRandomEvent(kPed);
      ASSERT_EQ(Started.size(), 1u);
      EXPECT_EQ(Started[0], candidates[r % candidates.size()]) << hour << " " << seed;
      seen.insert(Started[0]);
    }
    EXPECT_EQ(seen.size(), candidates.size()) << hour;
  }
  EXPECT_EQ(StartedWith, std::vector<int32_t>(StartedWith.size(), kPed));
}

TEST_F(DispatcherTest, ReadsTheClockOnlyForDrunkenFolkAndAnEmptyListOnlyNotifies) {
  world().clockHour = 22;
  Settings.drunkenFolk = 0;
  DispatchRandomEvent(kPed);
  EXPECT_EQ(sim::CountCalls("GetClockHour"), 0u);
  Settings.drunkenFolk = 1;
  Settings.predatorAttack = Settings.runawayWagon = Settings.publicHanging = 0;
  Settings.bountyHunters = 0;
  Started.clear();
  DispatchRandomEvent(kPed);
  EXPECT_EQ(sim::CountCalls("GetClockHour"), 1u);
  EXPECT_EQ(Started, std::vector<int32_t>{4});

  world().clockHour = 10;  // enabled but not eligible in daytime
  DispatchRandomEvent(kPed);
  EXPECT_EQ(Started.size(), 1u);
  EXPECT_STREQ(Notification.text, "No event types are enabled");

  Notification = NotificationRecord{};
  Settings.drunkenFolk = 0;
  sim::ClearTrace();
  sagebrook::srand(3);
  const int32_t firstDraw = sagebrook::rand();
  sagebrook::srand(3);
  DispatchRandomEvent(kPed);
  EXPECT_EQ(Started.size(), 1u);
  EXPECT_STREQ(Notification.text, "No event types are enabled");
  EXPECT_EQ(sagebrook::rand(), firstDraw) << "no draw without candidates";
  EXPECT_TRUE(sim::TraceNames().empty());
}

}  // namespace
}  // namespace sagebrook::testing
