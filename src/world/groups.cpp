#include "world/groups.h"

#include "game/natives.h"

namespace sagebrook {

RelationshipGroupsRecord RelationshipGroups;

namespace {

using Group = uint32_t RelationshipGroupsRecord::*;

struct Relation {
  int32_t level;
  Group regarding;
  Group regarded;
};

using R = RelationshipGroupsRecord;
constexpr Relation FixedRelations[] = {
    {kRelationHostile, &R::brawlA, &R::brawlB},
    {kRelationHostile, &R::brawlB, &R::brawlA},
    {kRelationHostile, &R::bandit, &R::player},
    {kRelationHostile, &R::player, &R::bandit},
    {kRelationAllied, &R::bandit, &R::bandit},
    {kRelationHostile, &R::hound, &R::player},
    {kRelationHostile, &R::player, &R::hound},
    {kRelationAllied, &R::hound, &R::hound},
    {kRelationAllied, &R::hound, &R::bandit},
    {kRelationAllied, &R::bandit, &R::hound},
    {kRelationHostile, &R::executioner, &R::victim},
    {kRelationHostile, &R::victim, &R::executioner},
    {kRelationAllied, &R::executioner, &R::executioner},
};

}  // namespace

void EnsureRelationshipGroups() {
  RelationshipGroupsRecord& g = RelationshipGroups;
  if (g.created) return;
  AddRelationshipGroup("RE_BANDIT", &g.bandit);
  AddRelationshipGroup("RE_PRED", &g.predator);
  AddRelationshipGroup("RE_VICTIM", &g.victim);
  AddRelationshipGroup("RE_EXEC", &g.executioner);
  AddRelationshipGroup("RE_HOUND", &g.hound);
  AddRelationshipGroup("RE_BRAWLA", &g.brawlA);
  AddRelationshipGroup("RE_BRAWLB", &g.brawlB);
  g.player = HashName("PLAYER");
  for (const Relation& r : FixedRelations) {
    SetRelationshipBetweenGroups(r.level, g.*r.regarding, g.*r.regarded);
  }
  g.created = true;
}

}  // namespace sagebrook
