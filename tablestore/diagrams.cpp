// Profiles and the deletion of a whole diagram.

#include "library/messages.h"
#include "tablestore/core.h"

void TFcore::ApplyProfile(int32_t profile)
{
    const std::vector<TLayerRec> layers = LayersOfDiagram();
    WriteGroup([&] {
        for (const TLayerRec& layer : layers) {
            // A layer the profile does not mention is hidden.
            int32_t visib = VisibHidden;
            if (Table7.FindKey({CurrentDiagram, profile, layer.Layernum})) {
                visib = Table7.FieldByName(QStringLiteral("Visib")).AsInteger();
            }
            if (Table6.FindKey({CurrentDiagram, layer.Layernum})) {
                Table6.Edit();
                tables::PostOrCancel(
                    Table6, [&] { Table6.FieldByName(QStringLiteral("Visib")).SetInteger(visib); });
            }
        }
    });
}

bool TFcore::DeleteDiagram()
{
    if (!Confirm(QStringLiteral("Delete this diagram - OK?"))) {
        return false;
    }
    if (!Confirm(QStringLiteral("Delete this diagram #") + QString::number(CurrentDiagram) +
                 QStringLiteral(" \"") + DiagramName +
                 QStringLiteral("\" - are you really sure?"))) {
        return false;
    }
    // The diagram goes whole or not at all, its profiles with it: profiles
    // left behind would turn up in a new diagram that is given its number.
    WriteGroup([&] {
        for (const char* table :
             {"seg.db", "point.db", "text.db", "drawing.db", "layer.db", "pflays.DB", "pfl.db"}) {
            Query1.Close();
            Query1.SetSQL(
                QStringLiteral("DELETE FROM %1 WHERE (dgnum = :x)").arg(QLatin1String(table)));
            Query1.ParamByName(QStringLiteral("x")).SetInteger(CurrentDiagram);
            Query1.ExecSQL();
        }
    });
    Query1.Close();
    for (int i = 1; i <= 8; ++i) {
        if (TableAt(i)->Active()) {
            TableAt(i)->Refresh();
        }
    }
    CurrentDiagram = -1;
    return true;
}
