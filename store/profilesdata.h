#pragma once
// The profile list and the profile changes the profiles window runs on the
// open diagram. Each program's store has its own statements for them.

#include <QString>
#include <cstdint>
#include <vector>

enum class ProfileOrder { ById, ByName };

struct ProfileRow {
    int32_t Pflnum = 0;
    QString Name;
};

class ProfilesData
{
  public:
    virtual ~ProfilesData() = default;

    // The profiles of the open diagram in the given order.
    // A failed read throws the engine's error.
    virtual std::vector<ProfileRow> ListProfiles(ProfileOrder order) = 0;
    // A refused row (a number taken) throws the engine's error.
    virtual void AddProfile(int32_t pflnum, const QString& name) = 0;
    // False when the profile has no row (nothing is written then).
    // A refused write throws the engine's error.
    virtual bool RenameProfile(int32_t pflnum, const QString& name) = 0;
    // The profile and its layer visibilities, all or nothing, so a later
    // profile of the same number starts empty.
    // A refused write throws the engine's error; nothing is kept.
    virtual void DeleteProfile(int32_t pflnum) = 0;
};
