#pragma once
// One typed operation per native the plugin uses. Slots that every caller
// passes the same value in are pushed inside the wrapper, not exposed.
#include <cstdint>

#include "game/native_invoke.h"

namespace sagebrook {

inline int32_t AddBlipForEntity(uint32_t blipStyleHash, int32_t entity) {
  return native::Invoke<int32_t>(0x23F74C2FDA6E7C61, blipStyleHash, entity);
}
inline void AddRelationshipGroup(const char* groupName, uint32_t* groupHash) {
  native::Invoke(0xF372BC22FCB88606, groupName, groupHash);
}
inline int32_t AddRope(float x, float y, float z, float length) {
  return native::Invoke<int32_t>(0xE832D760399EB220, x, y, z, 0.0f, 0.0f, 0.0f, length, 0,
                                 length + 3.0f, 1.0f, 1.0f, 0, 1, 1, 1.25f, 1, 0, 0);
}
inline void ApplyRopeStyle(int32_t rope, float length) {
  native::Invoke(0x3C6490D940FF5D0B, rope, 0, "noose01x_Rope_03", length, 0);
}
inline void AttachEntitiesToRope(int32_t rope, int32_t entityA, int32_t entityB, float offAX,
                                 float offAY, float offAZ, float offBX, float offBY, float offBZ,
                                 const char* boneNameA) {
  native::Invoke(0x462FF2A432733A44, rope, entityA, entityB, offAX, offAY, offAZ, offBX, offBY,
                 offBZ, boneNameA, static_cast<const char*>(nullptr));
}
inline void AttachEntityToEntity(int32_t entity, int32_t target, int32_t boneIndex, float offX,
                                 float offY, float offZ, float rotX, float rotY, float rotZ) {
  native::Invoke(0x6B9BBD38AB0796DF, entity, target, boneIndex, offX, offY, offZ, rotX, rotY, rotZ,
                 1, 1, 0, 1, 2, 1, 0, 0);
}
inline void ClaimEntityForScript(int32_t entity) {
  native::Invoke(0xDC19C288082E586E, entity, true, true);
}
inline void ClearPedTasks(int32_t ped) {
  native::Invoke(0xE1EF3C1216AFF2CD, ped, 0, 0);
}
inline void ConfigureDraftAnimal(int32_t ped) {
  native::Invoke(0xBAE08F00021BFFB2, ped, false);
}
inline void ConfigureNewVehicleA(int32_t vehicle) {
  native::Invoke(0x87344305778E5415, vehicle, true);
}
inline void ConfigureNewVehicleB(int32_t vehicle) {
  native::Invoke(0x7263332501E07F52, vehicle, false);
}
inline GameString CreateLiteralTextString(const char* text) {
  return native::Invoke<GameString>(0xFA925AC00EB830B9, 10, "LITERAL_STRING", text);
}
inline int32_t CreateObject(uint32_t modelHash, float x, float y, float z) {
  return native::Invoke<int32_t>(0x509D5878EB39E842, modelHash, x, y, z, 0, 1, 0, 0, 0);
}
inline int32_t CreatePed(uint32_t modelHash, float x, float y, float z, float heading) {
  return native::Invoke<int32_t>(0xD49F9B0955C367DE, modelHash, x, y, z, heading, 0, 0, 0, 0);
}
inline int32_t CreateVehicle(uint32_t modelHash, float x, float y, float z, float heading) {
  return native::Invoke<int32_t>(0x214651FB1DFEBA89, modelHash, x, y, z, heading, 0, 1, 0, 0, 0);
}
inline void DeleteObject(int32_t* object) {
  native::Invoke(0x931914268722C263, object);
}
inline void DeletePed(int32_t* ped) {
  native::Invoke(0xCC0EF140F99365C5, ped);
}
inline void DeleteRope(int32_t* rope) {
  native::Invoke(0x52B4829281364649, rope);
}
inline void DeleteVehicle(int32_t* vehicle) {
  native::Invoke(0xE20A909D8C4A70F8, vehicle);
}
inline void DetachRopeFromEntity(int32_t rope, int32_t entity) {
  native::Invoke(0xBCF3026912A8647D, rope, entity);
}
inline void DisableControlThisFrame(uint32_t actionHash) {
  native::Invoke(0xFE99B66D079CF6BC, 0, actionHash, true);
}
inline bool DoesBlipExist(int32_t blip) {
  return native::Invoke<bool>(0xCD82FA174080B3B1, blip);
}
inline bool DoesRopeExist(int32_t rope) {
  return native::Invoke<bool>(0xFD5448BE3111ED96, rope);
}
inline void DrawFilledRect(float centreX, float centreY, float width, float height, int32_t red,
                           int32_t green, int32_t blue, int32_t alpha) {
  native::Invoke(0x405224591DF02025, centreX, centreY, width, height, red, green, blue, alpha, 0,
                 1);
}
inline void DrawPreparedText(GameString text, float x, float y) {
  native::Invoke(0xD79334A4BB99BAD1, text, x, y);
}
inline void EnablePedGreeting(int32_t ped) {
  native::Invoke(0x63F58F7C80513AAD, ped, true);
}
inline void EnablePedInteraction(int32_t ped) {
  native::Invoke(0xEC4686EC06434678, ped, true);
}
inline bool EntityExists(int32_t entity) {
  return native::Invoke<bool>(0xD42BD6EB2E0F1677, entity);
}
inline void FreezeEntityPosition(int32_t entity) {
  native::Invoke(0x7D9EFB7AD6B19754, entity, true);
}
inline int32_t GetClockHour() {
  return native::Invoke<int32_t>(0xC82CF208C2B19199);
}
// The node must be pre-set by the caller: the game may leave it untouched.
inline bool GetClosestRoadNode(float x, float y, float z, ScriptVector* node) {
  return native::Invoke<bool>(0x240A18690AE96513, x, y, z, node, 1, 3.0f, 0);
}
inline bool GetClosestRoadNodeWithHeading(float x, float y, float z, ScriptVector* node,
                                          float* heading) {
  return native::Invoke<bool>(0x23CFFD4CCB243354, x, y, z, node, heading, 1, 3.0f, 0);
}
inline float GetDistanceBetweenCoords(float x1, float y1, float z1, float x2, float y2, float z2) {
  return native::Invoke<float>(0x0BE7F4E3CDBAFB28, x1, y1, z1, x2, y2, z2, true);
}
inline int32_t GetDraftAnimal(int32_t vehicle, int32_t index) {
  return native::Invoke<int32_t>(0xA8BA0BAE0173457B, vehicle, index);
}
inline void GetDraftAnimalCounts(int32_t vehicle, int32_t* expected, int32_t* actual) {
  native::Invoke(0xA19447D83294E29F, vehicle, expected, actual);
}
inline ScriptVector GetEntityCoords(int32_t entity) {
  return native::Invoke<ScriptVector>(0xA86D5F069399F44D, entity, true, false);
}
inline int32_t GetEntityHealth(int32_t entity) {
  return native::Invoke<int32_t>(0x82368787EA73C0F7, entity);
}
inline float GetEntityHeightAboveGround(int32_t entity) {
  return native::Invoke<float>(0x0D3B5BAEA08F63E9, entity);
}
inline float GetEntitySpeed(int32_t entity) {
  return native::Invoke<float>(0xFB6BA510A533DF81, entity);
}
// z is the probe height; callers add their own offset.
inline bool GetGroundZ(float x, float y, float z, float* groundZ) {
  return native::Invoke<bool>(0x24FA4267BB8D2431, x, y, z, groundZ, false);
}
inline int32_t GetPedBoneIndex(int32_t ped) {
  return native::Invoke<int32_t>(0x3F428D08BE5AAE31, ped, 14283);
}
inline uint32_t GetPedRelationshipGroup(int32_t ped) {
  return native::Invoke<uint32_t>(0x7DBDD04862D95F04, ped);
}
inline int32_t GetPlayerIndex() {
  return native::Invoke<int32_t>(0x217E9DC48139933D);
}
inline int32_t GetPlayerPed() {
  return native::Invoke<int32_t>(0x096275889B8E0EE0);
}
inline void GetRaycastResult(int32_t raycast, int32_t* hit, ScriptVector* hitPoint,
                             ScriptVector* surfaceNormal, int32_t* hitEntity) {
  native::Invoke(0xEDE8AC7C5108FB1D, raycast, hit, hitPoint, surfaceNormal, hitEntity);
}
inline void GiveWeaponToPed(int32_t ped, uint32_t weaponHash, int32_t ammo, int32_t forceInHand,
                            int32_t p4) {
  native::Invoke(0x5E3BDDBCB83F3D84, ped, weaponHash, ammo, forceInHand, p4, 0, 0, 1.0f, 1.0f, 0, 1,
                 0.0f, 0);
}
inline void HangingPlayerCallA(int32_t playerId) {
  native::Invoke(0x96722257E5381E00, playerId);
}
inline void HangingPlayerCallB(int32_t playerId) {
  native::Invoke(0x062B4A4A3396351D, playerId);
}
inline void HangingPlayerCallC(int32_t playerId) {
  native::Invoke(0xA80FF73F772ACF6A, playerId, 0);
}
inline uint32_t HashName(const char* name) {
  return native::Invoke<uint32_t>(0xFD340785ADF8CFB7, name);
}
inline bool HasModelLoaded(uint32_t modelHash) {
  return native::Invoke<bool>(0x1283B8B89DD5D1B6, modelHash);
}
inline bool IsEntityDead(int32_t entity) {
  return native::Invoke<bool>(0x7D5B1F88E7504BBA, entity);
}
inline bool IsModelInImage(uint32_t modelHash) {
  return native::Invoke<bool>(0x392C8D8E07B70EFC, modelHash);
}
inline bool IsModelValid(uint32_t modelHash) {
  return native::Invoke<bool>(0xD6F3B6D7716CFF8E, modelHash);
}
inline bool IsPedFleeing(int32_t ped) {
  return native::Invoke<bool>(0xBBCCE00B381F8482, ped);
}
inline bool IsPedHuman(int32_t ped) {
  return native::Invoke<bool>(0xB980061DA992779D, ped);
}
inline bool IsPedInCombatWith(int32_t ped, int32_t targetPed) {
  return native::Invoke<bool>(0x4859F1FC66A6278E, ped, targetPed);
}
inline bool IsPedInVehicle(int32_t ped, int32_t vehicle) {
  return native::Invoke<bool>(0xA3EE4A07279BB9DB, ped, vehicle, false);
}
inline bool IsPlayerInControl(int32_t player) {
  return native::Invoke<bool>(0x7964097FCE4C244B, player);
}
inline bool IsRopeBroken(int32_t rope) {
  return native::Invoke<bool>(0x79C2BEC82CFD7F7F, rope);
}
inline void PrepareHangingVictimA(int32_t ped) {
  native::Invoke(0xAAA34F8A7CB32098, ped, true, false);
}
inline void PrepareHangingVictimB(int32_t ped) {
  native::Invoke(0x6373D1349925A70E, ped, false);
}
inline void PrepareHangingVictimC(int32_t ped) {
  native::Invoke(0xDF1AF8B5D56542FA, ped, true, false);
}
inline void PrepareRopeA(int32_t rope) {
  native::Invoke(0x710311ADF0E20730, rope);
}
inline void PrepareRopeB(int32_t rope) {
  native::Invoke(0x1461C72C889E343E, rope);
}
inline void QueryScreenSize(int32_t* width, int32_t* height) {
  native::Invoke(0x66773C92835D0909, width, height);
}
inline void ReleaseModel(uint32_t modelHash) {
  native::Invoke(0x4AD96EF928BD4F9A, modelHash);
}
inline void ReleasePed(int32_t* ped) {
  native::Invoke(0x2595DD4236549CE3, ped);
}
inline void ReleaseVehicle(int32_t* vehicle) {
  native::Invoke(0x629BFA74418D6239, vehicle);
}
inline void RemoveBlip(int32_t* blip) {
  native::Invoke(0xF2C3C9DA47AAA54A, blip);
}
inline void RequestModel(uint32_t modelHash) {
  native::Invoke(0xFA28FE3A6246FC30, modelHash, false);
}
inline void SetBlipScale(int32_t blip) {
  native::Invoke(0xD38744167B2FA257, blip, 1.0f);
}
inline void SetCurrentPedWeapon(int32_t ped, uint32_t weaponHash) {
  native::Invoke(0xADF692B254977C0C, ped, weaponHash, true, 0, 0, 0);
}
inline void SetDogFlag(int32_t ped) {
  native::Invoke(0xAEB97D84CDF3C00B, ped, true);
}
inline void SetEntityCoords(int32_t entity, float x, float y, float z) {
  native::Invoke(0x06843DA7060A026B, entity, x, y, z, 0, 0, 0, 0);
}
inline void SetEntityHealth(int32_t entity, int32_t health) {
  native::Invoke(0xAC2767ED8BDFAB15, entity, health, 0);
}
// Peds are shown with 1; the hanging's anchor prop is hidden with 0.
inline void SetEntityVisible(int32_t entity, bool visible) {
  native::Invoke(0x1794B4FCC84D812F, entity, visible);
}
inline void SetNextTextCentred() {
  native::Invoke(0xBE5261939FBECB8C, true);
}
inline void SetNextTextColour(int32_t red, int32_t green, int32_t blue, int32_t alpha) {
  native::Invoke(0x50A41AD966910F03, red, green, blue, alpha);
}
inline void SetNextTextScale(float scale) {
  native::Invoke(0x4170B650590B3B00, 0.0f, scale);
}
// Distance 1, opaque black.
inline void SetNextTextShadow() {
  native::Invoke(0x1BE39DBAA7263CA5, 1, 0, 0, 0, 255);
}
inline void SetPedAccuracy(int32_t ped, int32_t accuracy) {
  native::Invoke(0x7AEFB85C1D49DEB6, ped, accuracy);
}
inline void SetPedCombatAbility(int32_t ped, int32_t level) {
  native::Invoke(0xC7622C0D36B2FDA8, ped, level);
}
inline void SetPedCombatAttribute(int32_t ped, int32_t attribute, bool enabled) {
  native::Invoke(0x9F7794730795E019, ped, attribute, enabled);
}
inline void SetPedCombatStyle(int32_t ped) {
  native::Invoke(0x3C606747B23E497B, ped, 2);
}
inline void SetPedDrunkFlag(int32_t ped) {
  native::Invoke(0x95D2D383D5396B8A, ped, true);
}
inline void SetPedDrunkState(int32_t ped, bool drunk, float level) {
  native::Invoke(0x406CCF555B04FAD3, ped, drunk, level);
}
inline void SetPedFleeAttributes(int32_t ped) {
  native::Invoke(0x70A2D1137C8ED7C9, ped, 0, false);
}
inline void SetPedGreetSpeech(int32_t ped, const char* speechLine) {
  native::Invoke(0x20C5459379D75C1C, ped, speechLine);
}
inline void SetPedHearingRange(int32_t ped, float metres) {
  native::Invoke(0x33A8F7F7D5F7F33C, ped, metres);
}
inline void SetPedIgnoresEvents(int32_t ped, bool on) {
  native::Invoke(0x9F8AA94D6D97DBF4, ped, on);
}
inline void SetPedInsultSpeech(int32_t ped, const char* speechLine) {
  native::Invoke(0xA3C53CDE922BC78B, ped, speechLine);
}
// seat -1 is the driver, 0 the first passenger seat.
inline void SetPedIntoVehicle(int32_t ped, int32_t vehicle, int32_t seat) {
  native::Invoke(0xF75B0D629E1C063D, ped, vehicle, seat);
}
inline void SetPedKeepTask(int32_t ped) {
  native::Invoke(0x971D38760FBC02EF, ped, true);
}
inline void SetPedMood(int32_t ped, uint32_t moodHash) {
  native::Invoke(0x8B3B71C80A29A4BB, ped, moodHash, 0);
}
inline void SetPedPersonality(int32_t ped, uint32_t personalityHash) {
  native::Invoke(0x24C82EF607105FAA, ped, personalityHash);
}
inline void SetPedPromptName(int32_t ped, const char* name) {
  native::Invoke(0x4A48B6E03BABB4AC, ped, name);
}
inline void SetPedRandomComponents(int32_t ped) {
  native::Invoke(0xC8A9481A01E63C28, ped, 0);
}
inline void SetPedRandomOutfit(int32_t ped) {
  native::Invoke(0x283978A15512B2FE, ped, true);
}
inline void SetPedRelationshipGroup(int32_t ped, uint32_t groupHash) {
  native::Invoke(0xC80A74AC829DDD92, ped, groupHash);
}
inline void SetPedSeeingRange(int32_t ped, float metres) {
  native::Invoke(0xF29CF591C4BF6CEE, ped, metres);
}
inline void SetPedToRagdoll(int32_t ped, int32_t minMs, int32_t maxMs) {
  native::Invoke(0xAE99FB955581844A, ped, minMs, maxMs, 1, 0, 0, 0);
}
// level 0 is friendly, 5 hostile; sets how groupA regards groupB only.
inline void SetRelationshipBetweenGroups(int32_t level, uint32_t groupA, uint32_t groupB) {
  native::Invoke(0xBF25EB89375A37AD, level, groupA, groupB);
}
inline void SetVehicleForwardSpeed(int32_t vehicle) {
  native::Invoke(0x0C3F0F7F92CA847C, vehicle, 14.0f);
}
inline int32_t StartRaycast(float x1, float y1, float z1, float x2, float y2, float z2) {
  return native::Invoke<int32_t>(0x377906D8A31E5586, x1, y1, z1, x2, y2, z2, -1, 0, 7);
}
inline void TaskCaptiveWait(int32_t ped) {
  native::Invoke(0xF2EAB31979A7F910, ped, 999999, 0, -1, 0);
}
inline void TaskCombatPed(int32_t ped, int32_t targetPed) {
  native::Invoke(0xF166E48407BAC484, ped, targetPed, 0, 16);
}
inline void TaskDriveToCoord(int32_t driverPed, int32_t vehicle, float x, float y, float z,
                             uint32_t vehicleModelHash) {
  native::Invoke(0xE2A2AA2F659D77A7, driverPed, vehicle, x, y, z, 14.0f, 786469, vehicleModelHash,
                 0, 5.0f, 5.0f);
}
// durationMs -1 means no limit.
inline void TaskStandStill(int32_t ped, int32_t durationMs) {
  native::Invoke(0x919BE13EED931959, ped, durationMs);
}
inline void TaskTurnToFaceEntity(int32_t ped, int32_t targetEntity) {
  native::Invoke(0x5AD23D40115353AC, ped, targetEntity, 2000, 0, 0, 0);
}
inline void TaskWanderNearby(int32_t ped) {
  native::Invoke(0xBB9CE077274F6A1B, ped, 10.0f, 10);
}
inline void UpdatePedVariation(int32_t ped) {
  native::Invoke(0xCC8CA3E88256E58F, ped, 0, 1, 1, 1, 0);
}

}  // namespace sagebrook
