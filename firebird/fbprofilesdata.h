#pragma once
// The profiles window's statements in the second program's database.

#include "firebird/fbquery.h"
#include "store/profilesdata.h"

class TFcoreFb;

class FbProfilesData : public ProfilesData
{
  public:
    explicit FbProfilesData(TFcoreFb& core);

    std::vector<ProfileRow> ListProfiles(ProfileOrder order) override;
    void AddProfile(int32_t pflnum, const QString& name) override;
    bool RenameProfile(int32_t pflnum, const QString& name) override;
    void DeleteProfile(int32_t pflnum) override;

    FbQuery IBQuery1; // the list

  private:
    TFcoreFb& core_;
};
