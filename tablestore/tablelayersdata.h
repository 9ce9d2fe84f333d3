#pragma once
// The layer list and layer changes of the table store.

#include "store/layersdata.h"

#include <QVariant>

class TFcore;

class TableLayersData : public LayersData
{
  public:
    explicit TableLayersData(TFcore& core);

    std::vector<TLayerRec> ListLayers(LayerOrder order) override;
    void AddLayer(int32_t layernum, const QString& name) override;
    bool SetLayerVisibility(int32_t layernum, int32_t visib) override;
    bool RenameLayer(int32_t layernum, const QString& name) override;
    int CountLayerSegments(int32_t layernum) override;
    void DeleteLayerWithSegments(int32_t layernum) override;
    void HideAllLayers() override;
    void SaveProfile(int32_t profile, const std::vector<TLayerRec>& layers) override;
    std::vector<int32_t> SegmentsInRange(int32_t from, int32_t to) override;

  private:
    std::vector<int32_t> SegmentsOfLayer(int32_t layernum);
    bool WriteLayerField(int32_t layernum, const QString& field, const QVariant& value);

    TFcore& core_;
};
