#include "catalogue.h"

#include <cstddef>
#include <cstdint>
#include <span>

namespace sim {
namespace {

// Every native the plugin calls, sorted by operation name. The slot count includes fixed
// constants and out-pointers: each argument is one 64-bit slot.
constexpr CatalogueEntry kCatalogue[] = {
    {0x23F74C2FDA6E7C61ULL, "AddBlipForEntity", 2},
    {0xF372BC22FCB88606ULL, "AddRelationshipGroup", 2},
    {0xE832D760399EB220ULL, "AddRope", 18},
    {0x3C6490D940FF5D0BULL, "ApplyRopeStyle", 5},
    {0x462FF2A432733A44ULL, "AttachEntitiesToRope", 11},
    {0x6B9BBD38AB0796DFULL, "AttachEntityToEntity", 17},
    {0xDC19C288082E586EULL, "ClaimEntityForScript", 3},
    {0xE1EF3C1216AFF2CDULL, "ClearPedTasks", 3},
    {0xBAE08F00021BFFB2ULL, "ConfigureDraftAnimal", 2},
    {0x87344305778E5415ULL, "ConfigureNewVehicleA", 2},
    {0x7263332501E07F52ULL, "ConfigureNewVehicleB", 2},
    {0xFA925AC00EB830B9ULL, "CreateLiteralTextString", 3},
    {0x509D5878EB39E842ULL, "CreateObject", 9},
    {0xD49F9B0955C367DEULL, "CreatePed", 9},
    {0x214651FB1DFEBA89ULL, "CreateVehicle", 10},
    {0x931914268722C263ULL, "DeleteObject", 1},
    {0xCC0EF140F99365C5ULL, "DeletePed", 1},
    {0x52B4829281364649ULL, "DeleteRope", 1},
    {0xE20A909D8C4A70F8ULL, "DeleteVehicle", 1},
    {0xBCF3026912A8647DULL, "DetachRopeFromEntity", 2},
    {0xFE99B66D079CF6BCULL, "DisableControlThisFrame", 3},
    {0xCD82FA174080B3B1ULL, "DoesBlipExist", 1},
    {0xFD5448BE3111ED96ULL, "DoesRopeExist", 1},
    {0x405224591DF02025ULL, "DrawFilledRect", 10},
    {0xD79334A4BB99BAD1ULL, "DrawPreparedText", 3},
    {0x63F58F7C80513AADULL, "EnablePedGreeting", 2},
    {0xEC4686EC06434678ULL, "EnablePedInteraction", 2},
    {0xD42BD6EB2E0F1677ULL, "EntityExists", 1},
    {0x7D9EFB7AD6B19754ULL, "FreezeEntityPosition", 2},
    {0xC82CF208C2B19199ULL, "GetClockHour", 0},
    {0x240A18690AE96513ULL, "GetClosestRoadNode", 7},
    {0x23CFFD4CCB243354ULL, "GetClosestRoadNodeWithHeading", 8},
    {0x0BE7F4E3CDBAFB28ULL, "GetDistanceBetweenCoords", 7},
    {0xA8BA0BAE0173457BULL, "GetDraftAnimal", 2},
    {0xA19447D83294E29FULL, "GetDraftAnimalCounts", 3},
    {0xA86D5F069399F44DULL, "GetEntityCoords", 3},
    {0x82368787EA73C0F7ULL, "GetEntityHealth", 1},
    {0x0D3B5BAEA08F63E9ULL, "GetEntityHeightAboveGround", 1},
    {0xFB6BA510A533DF81ULL, "GetEntitySpeed", 1},
    {0x24FA4267BB8D2431ULL, "GetGroundZ", 5},
    {0x3F428D08BE5AAE31ULL, "GetPedBoneIndex", 2},
    {0x7DBDD04862D95F04ULL, "GetPedRelationshipGroup", 1},
    {0x217E9DC48139933DULL, "GetPlayerIndex", 0},
    {0x096275889B8E0EE0ULL, "GetPlayerPed", 0},
    {0xEDE8AC7C5108FB1DULL, "GetRaycastResult", 5},
    {0x5E3BDDBCB83F3D84ULL, "GiveWeaponToPed", 13},
    {0x96722257E5381E00ULL, "HangingPlayerCallA", 1},
    {0x062B4A4A3396351DULL, "HangingPlayerCallB", 1},
    {0xA80FF73F772ACF6AULL, "HangingPlayerCallC", 2},
    {0xFD340785ADF8CFB7ULL, "HashName", 1},
    {0x1283B8B89DD5D1B6ULL, "HasModelLoaded", 1},
    {0x7D5B1F88E7504BBAULL, "IsEntityDead", 1},
    {0x392C8D8E07B70EFCULL, "IsModelInImage", 1},
    {0xD6F3B6D7716CFF8EULL, "IsModelValid", 1},
    {0xBBCCE00B381F8482ULL, "IsPedFleeing", 1},
    {0xB980061DA992779DULL, "IsPedHuman", 1},
    {0x4859F1FC66A6278EULL, "IsPedInCombatWith", 2},
    {0xA3EE4A07279BB9DBULL, "IsPedInVehicle", 3},
    {0x7964097FCE4C244BULL, "IsPlayerInControl", 1},
    {0x79C2BEC82CFD7F7FULL, "IsRopeBroken", 1},
    {0xAAA34F8A7CB32098ULL, "PrepareHangingVictimA", 3},
    {0x6373D1349925A70EULL, "PrepareHangingVictimB", 2},
    {0xDF1AF8B5D56542FAULL, "PrepareHangingVictimC", 3},
    {0x710311ADF0E20730ULL, "PrepareRopeA", 1},
    {0x1461C72C889E343EULL, "PrepareRopeB", 1},
    {0x66773C92835D0909ULL, "QueryScreenSize", 2},
    {0x4AD96EF928BD4F9AULL, "ReleaseModel", 1},
    {0x2595DD4236549CE3ULL, "ReleasePed", 1},
    {0x629BFA74418D6239ULL, "ReleaseVehicle", 1},
    {0xF2C3C9DA47AAA54AULL, "RemoveBlip", 1},
    {0xFA28FE3A6246FC30ULL, "RequestModel", 2},
    {0xD38744167B2FA257ULL, "SetBlipScale", 2},
    {0xADF692B254977C0CULL, "SetCurrentPedWeapon", 6},
    {0xAEB97D84CDF3C00BULL, "SetDogFlag", 2},
    {0x06843DA7060A026BULL, "SetEntityCoords", 8},
    {0xAC2767ED8BDFAB15ULL, "SetEntityHealth", 3},
    {0x1794B4FCC84D812FULL, "SetEntityVisible", 2},
    {0xBE5261939FBECB8CULL, "SetNextTextCentred", 1},
    {0x50A41AD966910F03ULL, "SetNextTextColour", 4},
    {0x4170B650590B3B00ULL, "SetNextTextScale", 2},
    {0x1BE39DBAA7263CA5ULL, "SetNextTextShadow", 5},
    {0x7AEFB85C1D49DEB6ULL, "SetPedAccuracy", 2},
    {0xC7622C0D36B2FDA8ULL, "SetPedCombatAbility", 2},
    {0x9F7794730795E019ULL, "SetPedCombatAttribute", 3},
    {0x3C606747B23E497BULL, "SetPedCombatStyle", 2},
    {0x95D2D383D5396B8AULL, "SetPedDrunkFlag", 2},
    {0x406CCF555B04FAD3ULL, "SetPedDrunkState", 3},
    {0x70A2D1137C8ED7C9ULL, "SetPedFleeAttributes", 3},
    {0x20C5459379D75C1CULL, "SetPedGreetSpeech", 2},
    {0x33A8F7F7D5F7F33CULL, "SetPedHearingRange", 2},
    {0x9F8AA94D6D97DBF4ULL, "SetPedIgnoresEvents", 2},
    {0xA3C53CDE922BC78BULL, "SetPedInsultSpeech", 2},
    {0xF75B0D629E1C063DULL, "SetPedIntoVehicle", 3},
    {0x971D38760FBC02EFULL, "SetPedKeepTask", 2},
    {0x8B3B71C80A29A4BBULL, "SetPedMood", 3},
    {0x24C82EF607105FAAULL, "SetPedPersonality", 2},
    {0x4A48B6E03BABB4ACULL, "SetPedPromptName", 2},
    {0xC8A9481A01E63C28ULL, "SetPedRandomComponents", 2},
    {0x283978A15512B2FEULL, "SetPedRandomOutfit", 2},
    {0xC80A74AC829DDD92ULL, "SetPedRelationshipGroup", 2},
    {0xF29CF591C4BF6CEEULL, "SetPedSeeingRange", 2},
    {0xAE99FB955581844AULL, "SetPedToRagdoll", 7},
    {0xBF25EB89375A37ADULL, "SetRelationshipBetweenGroups", 3},
    {0x0C3F0F7F92CA847CULL, "SetVehicleForwardSpeed", 2},
    {0x377906D8A31E5586ULL, "StartRaycast", 9},
    {0xF2EAB31979A7F910ULL, "TaskCaptiveWait", 5},
    {0xF166E48407BAC484ULL, "TaskCombatPed", 4},
    {0xE2A2AA2F659D77A7ULL, "TaskDriveToCoord", 11},
    {0x919BE13EED931959ULL, "TaskStandStill", 2},
    {0x5AD23D40115353ACULL, "TaskTurnToFaceEntity", 6},
    {0xBB9CE077274F6A1BULL, "TaskWanderNearby", 3},
    {0xCC8CA3E88256E58FULL, "UpdatePedVariation", 6},
};

constexpr std::size_t kCatalogueSize = sizeof(kCatalogue) / sizeof(kCatalogue[0]);
static_assert(kCatalogueSize == 112, "the plugin calls exactly 112 natives");

constexpr bool HashesAreUnique() {
  for (std::size_t i = 0; i < kCatalogueSize; ++i) {
    for (std::size_t j = i + 1; j < kCatalogueSize; ++j) {
      if (kCatalogue[i].hash == kCatalogue[j].hash) return false;
    }
  }
  return true;
}
static_assert(HashesAreUnique(), "a native hash appears twice in the catalogue");

}  // namespace

std::span<const CatalogueEntry> Catalogue() {
  return std::span<const CatalogueEntry>(kCatalogue);
}

const CatalogueEntry* FindNative(uint64_t hash) {
  for (const CatalogueEntry& entry : kCatalogue) {
    if (entry.hash == hash) return &entry;
  }
  return nullptr;
}

}  // namespace sim
