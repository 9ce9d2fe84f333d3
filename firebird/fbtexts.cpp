// Text labels, layers, profiles and whole diagrams of the open diagram.

#include "firebird/corefb.h"

#include "firebird/fbtext.h"
#include "library/messages.h"

void TFcoreFb::InsertTextRow(int32_t pointnum, const QString& text, int32_t layernum)
{
    RunStoreSQL(
        QStringLiteral("insert into text ( dgnum , pointnum , layernum , text ) values ( "
                       ":dg , :n , :ln , :t )"),
        {{"dg", CurrentDiagram}, {"n", pointnum}, {"ln", layernum}, {"t", text.left(TextWidth)}});
}

bool TFcoreFb::LoadTextAtPoint(int32_t pointnum, TTextRec& text)
{
    InitText(text);
    RunSQL(IBTable4, QStringLiteral("select * from text where dgnum = :dg and pointnum = :n"),
           {{"dg", CurrentDiagram}, {"n", pointnum}});
    if (IBTable4.IsEmpty())
        return false;
    text.Text = IBTable4.FieldText("TEXT");
    text.Pointnum = IBTable4.FieldInt("POINTNUM");
    LoadLayer(IBTable4.FieldInt("LAYERNUM"), text.Layer);
    return true;
}

void TFcoreFb::DeleteTextAtPoint(int32_t pointnum)
{
    RunStoreSQL(QStringLiteral("delete from text where dgnum = :dg and pointnum = :n"),
                {{"dg", CurrentDiagram}, {"n", pointnum}});
}

bool TFcoreFb::LoadLayer(int32_t layernum, TLayerRec& layer)
{
    InitLayer(layer);
    RunSQL(IBTable6, QStringLiteral("select * from layer where dgnum = :dg and layernum = :n"),
           {{"dg", CurrentDiagram}, {"n", layernum}});
    if (IBTable6.IsEmpty()) {
        InitAbsentLayer(layer, layernum);
        return false;
    }
    layer.Layernum = layernum;
    layer.Visib = IBTable6.FieldInt("VISIB");
    layer.Name = LayerName(IBTable6);
    return true;
}

void TFcoreFb::DeleteLayer(int32_t layernum)
{
    RunStoreSQL(QStringLiteral("delete from layer where dgnum = :dg and layernum = :n"),
                {{"dg", CurrentDiagram}, {"n", layernum}});
}

std::vector<TLayerRec> TFcoreFb::LayersOfDiagram()
{
    RunSQL(IBQuery5, QStringLiteral("select * from layer where dgnum = :x order by layernum"),
           {{"x", CurrentDiagram}});
    std::vector<TLayerRec> layers;
    for (IBQuery5.First(); !IBQuery5.Eof(); IBQuery5.Next()) {
        TLayerRec layer;
        layer.Layernum = IBQuery5.FieldInt("LAYERNUM");
        layer.Name = LayerName(IBQuery5);
        layer.Visib = IBQuery5.FieldInt("VISIB");
        layers.push_back(layer);
    }
    IBQuery5.Close();
    return layers;
}

void TFcoreFb::HideAllLayers()
{
    RunStoreSQL(QStringLiteral("update layer set visib = 0 where dgnum = :dg"),
                {{"dg", CurrentDiagram}});
}

void TFcoreFb::ApplyProfile(int32_t profile)
{
    // A layer the profile does not mention stays hidden.
    WriteGroup([&] {
        HideAllLayers();
        RunSQL(IBTable7, QStringLiteral("select * from pflays where dgnum = :dg and pflnum = :p"),
               {{"dg", CurrentDiagram}, {"p", profile}});
        for (IBTable7.First(); !IBTable7.Eof(); IBTable7.Next()) {
            RunStoreSQL(
                QStringLiteral("update layer set visib = :v where dgnum = :dg and layernum = :n"),
                {{"v", IBTable7.FieldInt("VISIB")},
                 {"dg", CurrentDiagram},
                 {"n", IBTable7.FieldInt("LAYERNUM")}});
        }
        IBTable7.Close();
    });
}

void TFcoreFb::DeleteDiagramRows(const QString& table)
{
    RunStoreSQL(QStringLiteral("delete from ") + table + QStringLiteral(" where dgnum = :dg"),
                {{"dg", CurrentDiagram}});
}

bool TFcoreFb::DeleteDiagram()
{
    if (!ConfirmReallySure(QStringLiteral("Delete this diagram #") +
                           QString::number(CurrentDiagram) + QStringLiteral(" \"") + DiagramName +
                           QStringLiteral("\"")))
        return false;
    // The diagram goes whole or not at all, its profiles with it.
    WriteGroup([&] {
        for (const char* table : {"seg", "point", "text", "drawing", "layer", "pflays", "pfl"})
            DeleteDiagramRows(QString::fromLatin1(table));
    });
    CurrentDiagram = -1;
    return true;
}

bool TFcoreFb::LoadDiagramNotes(int32_t dgnum, QString& notes)
{
    notes.clear();
    if (dgnum <= 0 || !Connected())
        return false;
    RunSQL(IBTable5, QStringLiteral("select notes from drawing where dgnum = :dg"),
           {{"dg", dgnum}});
    if (IBTable5.IsEmpty())
        return false;
    notes = IBTable5.FieldText("NOTES");
    IBTable5.Close();
    return true;
}

bool TFcoreFb::SaveDiagramNotes(int32_t dgnum, const QString& notes)
{
    if (dgnum <= 0 || !Connected())
        return false;
    return RunStoreSQL(QStringLiteral("update drawing set notes = :notes where dgnum = :dg"),
                       {{"notes", notes}, {"dg", dgnum}}) > 0;
}
