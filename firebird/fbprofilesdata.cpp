#include "firebird/fbprofilesdata.h"

#include "firebird/corefb.h"
#include "firebird/fbtext.h"

FbProfilesData::FbProfilesData(TFcoreFb& core) : core_(core) {}

std::vector<ProfileRow> FbProfilesData::ListProfiles(ProfileOrder order)
{
    core_.BindQuery(IBQuery1);
    core_.RunSQL(IBQuery1,
                 QStringLiteral("select * from pfl where dgnum = :dg ") +
                     (order == ProfileOrder::ById ? QStringLiteral("order by pflnum")
                                                  : QStringLiteral("order by pflname, pflnum")),
                 {{"dg", core_.CurrentDiagram}});
    std::vector<ProfileRow> rows;
    for (IBQuery1.First(); !IBQuery1.Eof(); IBQuery1.Next()) {
        ProfileRow row;
        row.Pflnum = IBQuery1.FieldInt("PFLNUM");
        row.Name = IBQuery1.FieldText("PFLNAME");
        TrimTrailingBlanks(row.Name);
        rows.push_back(row);
    }
    IBQuery1.Close();
    return rows;
}

void FbProfilesData::AddProfile(int32_t pflnum, const QString& name)
{
    core_.RunStoreSQL(QStringLiteral("insert into pfl ( dgnum , pflnum , pflname ) values ( :dg "
                                     ", :p , :name )"),
                      {{"dg", core_.CurrentDiagram}, {"p", pflnum}, {"name", name}});
}

bool FbProfilesData::RenameProfile(int32_t pflnum, const QString& name)
{
    return core_.RunStoreSQL(
               QStringLiteral("update pfl set pflname = :name where dgnum = :dg and pflnum = :p"),
               {{"name", name}, {"dg", core_.CurrentDiagram}, {"p", pflnum}}) > 0;
}

void FbProfilesData::DeleteProfile(int32_t pflnum)
{
    // The profile's layer settings go with it, so a later profile of the
    // same number starts empty.
    core_.WriteGroup([&] {
        core_.RunStoreSQL(QStringLiteral("delete from pfl where dgnum = :dg and pflnum = :p"),
                          {{"dg", core_.CurrentDiagram}, {"p", pflnum}});
        core_.RunStoreSQL(QStringLiteral("delete from pflays where dgnum = :dg and pflnum = :p"),
                          {{"dg", core_.CurrentDiagram}, {"p", pflnum}});
    });
}
