#include "tablestore/tableprofilesdata.h"

#include "store/records.h"
#include "tablestore/core.h"

TableProfilesData::TableProfilesData(TFcore& core) : core_(core) {}

std::vector<ProfileRow> TableProfilesData::ListProfiles(ProfileOrder order)
{
    tables::Query query;
    query.DatabaseName = core_.Database1.DatabaseName;
    query.database = &core_.Database1;
    query.SetSQL(QStringLiteral("select * from pfl.db where dgnum = :x\n") +
                 (order == ProfileOrder::ById ? QStringLiteral("order by pflnum")
                                              : QStringLiteral("order by name")));
    query.ParamByName(QStringLiteral("x")).SetInteger(core_.CurrentDiagram);
    query.Open();
    std::vector<ProfileRow> rows;
    for (query.First(); !query.Eof(); query.Next()) {
        ProfileRow row;
        row.Pflnum = query.FieldByName(QStringLiteral("Pflnum")).AsInteger();
        row.Name = query.FieldByName(QStringLiteral("Name")).AsString();
        rows.push_back(row);
    }
    return rows;
}

void TableProfilesData::AddProfile(int32_t pflnum, const QString& name)
{
    tables::Table& table = core_.Table8;
    core_.WriteGroup([&] {
        table.Append();
        tables::PostOrCancel(table, [&] {
            table.FieldByName(QStringLiteral("Dgnum")).SetInteger(core_.CurrentDiagram);
            table.FieldByName(QStringLiteral("Pflnum")).SetInteger(pflnum);
            table.FieldByName(QStringLiteral("Name")).SetString(name);
        });
    });
}

bool TableProfilesData::RenameProfile(int32_t pflnum, const QString& name)
{
    tables::Table& table = core_.Table8;
    bool found = false;
    core_.WriteGroup([&] {
        found = table.FindKey({core_.CurrentDiagram, pflnum});
        if (!found) {
            return;
        }
        table.Edit();
        tables::PostOrCancel(table,
                             [&] { table.FieldByName(QStringLiteral("Name")).SetString(name); });
    });
    return found;
}

void TableProfilesData::DeleteProfile(int32_t pflnum)
{
    tables::Table& profiles = core_.Table8;
    tables::Table& visibilities = core_.Table7;
    core_.WriteGroup([&] {
        if (profiles.FindKey({core_.CurrentDiagram, pflnum})) {
            profiles.Delete();
        }
        // FindKey on the leading key columns finds the profile's rows one by
        // one until none is left.
        while (visibilities.FindKey({core_.CurrentDiagram, pflnum})) {
            visibilities.Delete();
        }
    });
}
