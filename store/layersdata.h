#pragma once
// The layer list and the layer changes the layers window and the
// move-segments dialog run on the open diagram. Each program's store has its
// own statements for them.

#include "store/records.h"

#include <QString>
#include <cstdint>
#include <vector>

enum class LayerOrder { ById, ByName, ByVisibility };

class LayersData
{
  public:
    virtual ~LayersData() = default;

    // The layers of the open diagram in the given order.
    // A failed read throws the engine's error.
    virtual std::vector<TLayerRec> ListLayers(LayerOrder order) = 0;
    // A new bold layer.
    // A refused row (a number taken) throws the engine's error.
    virtual void AddLayer(int32_t layernum, const QString& name) = 0;
    // False when the layer has no row (nothing is written then).
    // A refused write throws the engine's error, as in RenameLayer.
    virtual bool SetLayerVisibility(int32_t layernum, int32_t visib) = 0;
    virtual bool RenameLayer(int32_t layernum, const QString& name) = 0;
    // A failed read throws the engine's error.
    virtual int CountLayerSegments(int32_t layernum) = 0;
    // Whether deleting a layer takes its points as well: the second
    // program's way, which asks once. The first program keeps them and asks
    // again before segments go.
    // Cannot fail.
    virtual bool DeleteTakesPoints() const { return false; }
    // The layer's segments and the layer row, all or nothing; where
    // DeleteTakesPoints, also the layer's points that no segment left and
    // no label uses. Labels always stay.
    // A refused write throws the engine's error; nothing is kept.
    virtual void DeleteLayerWithSegments(int32_t layernum) = 0;
    // Every layer of the diagram hidden, all or nothing.
    // A refused write throws the engine's error; nothing is kept.
    virtual void HideAllLayers() = 0;
    // The layers' visibilities into profile p, all or nothing.
    // A refused write throws the engine's error; nothing is kept.
    virtual void SaveProfile(int32_t profile, const std::vector<TLayerRec>& layers) = 0;
    // The numbers of the segments stored between from and to, ascending.
    // A failed read throws the engine's error.
    virtual std::vector<int32_t> SegmentsInRange(int32_t from, int32_t to) = 0;
};
