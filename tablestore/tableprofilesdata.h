#pragma once
// The profile list and profile changes of the table store.

#include "store/profilesdata.h"

class TFcore;

class TableProfilesData : public ProfilesData
{
  public:
    explicit TableProfilesData(TFcore& core);

    std::vector<ProfileRow> ListProfiles(ProfileOrder order) override;
    void AddProfile(int32_t pflnum, const QString& name) override;
    bool RenameProfile(int32_t pflnum, const QString& name) override;
    void DeleteProfile(int32_t pflnum) override;

  private:
    TFcore& core_;
};
