#pragma once
// The layers window's and the move-segments dialog's layer statements in
// the second program's database.

#include "firebird/fbquery.h"
#include "store/layersdata.h"

class TFcoreFb;

class FbLayersData : public LayersData
{
  public:
    explicit FbLayersData(TFcoreFb& core);

    std::vector<TLayerRec> ListLayers(LayerOrder order) override;
    void AddLayer(int32_t layernum, const QString& name) override;
    bool SetLayerVisibility(int32_t layernum, int32_t visib) override;
    bool RenameLayer(int32_t layernum, const QString& name) override;
    int CountLayerSegments(int32_t layernum) override;
    bool DeleteTakesPoints() const override { return true; }
    void DeleteLayerWithSegments(int32_t layernum) override;
    void HideAllLayers() override;
    void SaveProfile(int32_t profile, const std::vector<TLayerRec>& layers) override;
    std::vector<int32_t> SegmentsInRange(int32_t from, int32_t to) override;
    // The points the layer's segments use and those that carry its number.
    std::vector<int32_t> PointsOfLayer(int32_t layernum);
    // Those of the points that no segment and no label of the diagram uses.
    void DeleteUnusedPoints(const std::vector<int32_t>& points);

    FbQuery IBQuery1; // the list

  private:
    FbQuery& Bound();

    TFcoreFb& core_;
};
