#include "tracking/strangers.h"

#include "game/natives.h"

namespace sagebrook {

void MakeGreetableStranger(int32_t ped) {
  EnablePedGreeting(ped);
  EnablePedInteraction(ped);
  SetPedPersonality(ped, HashName("TIMID"));
  SetPedGreetSpeech(ped, "GREET_GENERAL_STRANGER_01");
  SetPedInsultSpeech(ped, "INSULT_RESPONSE_01");
  SetPedPromptName(ped, "Stranger");
}

}  // namespace sagebrook
