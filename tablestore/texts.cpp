// Text labels and layers of the open diagram.

#include "library/messages.h"
#include "tablestore/core.h"

void TFcore::InsertTextRow(int32_t pointnum, const QString& text, int32_t layernum)
{
    // A point that has a label already refuses a second one by key; the
    // table is left ready for the next operation.
    Table4.Append();
    tables::PostOrCancel(Table4, [&] {
        Table4.FieldByName(QStringLiteral("Dgnum")).SetInteger(CurrentDiagram);
        Table4.FieldByName(QStringLiteral("Pointnum")).SetInteger(pointnum);
        Table4.FieldByName(QStringLiteral("Text")).SetString(text.left(TextWidth));
        Table4.FieldByName(QStringLiteral("Layernum")).SetInteger(layernum);
    });
}

bool TFcore::LoadTextAtPoint(int32_t pointnum, TTextRec& text)
{
    InitText(text);
    if (!Table4.FindKey({CurrentDiagram, pointnum})) {
        return false;
    }
    text.Text = Table4.FieldByName(QStringLiteral("Text")).AsString();
    text.Pointnum = Table4.FieldByName(QStringLiteral("Pointnum")).AsInteger();
    const int32_t layernum = Table4.FieldByName(QStringLiteral("Layernum")).AsInteger();
    LoadLayer(layernum, text.Layer);
    return true;
}

void TFcore::DeleteTextAtPoint(int32_t pointnum)
{
    if (Table4.FindKey({CurrentDiagram, pointnum})) {
        Table4.Delete();
    }
}

bool TFcore::LoadLayer(int32_t layernum, TLayerRec& layer)
{
    InitLayer(layer);
    if (!Table6.FindKey({CurrentDiagram, layernum})) {
        InitAbsentLayer(layer, layernum);
        return false;
    }
    layer.Layernum = layernum;
    layer.Visib = Table6.FieldByName(QStringLiteral("Visib")).AsInteger();
    layer.Name = Table6.FieldByName(QStringLiteral("Name")).AsString();
    return true;
}

void TFcore::DeleteLayer(int32_t layernum)
{
    if (Table6.FindKey({CurrentDiagram, layernum})) {
        Table6.Delete();
    }
}

std::vector<TLayerRec> TFcore::LayersOfDiagram()
{
    Query5.Close();
    Query5.ParamByName(QStringLiteral("x")).SetInteger(CurrentDiagram);
    Query5.Open();
    std::vector<TLayerRec> layers;
    for (Query5.First(); !Query5.Eof(); Query5.Next()) {
        TLayerRec layer;
        layer.Layernum = Query5.FieldByName(QStringLiteral("Layernum")).AsInteger();
        layer.Name = Query5.FieldByName(QStringLiteral("Name")).AsString();
        layer.Visib = Query5.FieldByName(QStringLiteral("Visib")).AsInteger();
        layers.push_back(layer);
    }
    return layers;
}
