#include "tracking/strangers.h"

#include "game/natives.h"
#include "tracking/registry.h"

namespace sagebrook {

void MakeGreetableStranger(int32_t ped) {
  EnablePedGreeting(ped);
  EnablePedInteraction(ped);
  SetPedPersonality(ped, HashName("TIMID"));
  SetPedGreetSpeech(ped, "GREET_GENERAL_STRANGER_01");
  SetPedInsultSpeech(ped, "INSULT_RESPONSE_01");
  SetPedPromptName(ped, "Stranger");
}

void UpdateStrangers(int32_t playerPed) {
  const ScriptVector player = GetEntityCoords(playerPed);
  RemoveWhere(PendingStrangers, [&](int32_t ped) {
    if (!EntityExists(ped)) return true;
    const ScriptVector p = GetEntityCoords(ped);
    if (GetDistanceBetweenCoords(player.x, player.y, player.z, p.x, p.y, p.z) >= kStrangerRadius) {
      return false;
    }
    // The game may clear the handle it is given, so it gets a copy.
    int32_t released = ped;
    ReleasePed(&released);
    RemoveEvery(SpawnedPeds, ped);
    // Set up again now that the game manages the ped.
    MakeGreetableStranger(ped);
    return true;
  });
}

}  // namespace sagebrook
