#pragma once
// The rows of the visible sets that the sheet walks (the visible segments,
// the points of the last redraw, the visible labels and the visible
// segments at one point), and the cursor it walks them with. Both stores
// fill the same cursors, so the sheet's redraw and stepping work on either.
//
// The cursor moves like the store's datasets: Next past the last row and
// Prior before the first stay on that row and set Eof or Bof.

#include "store/records.h"

#include <QString>
#include <stdexcept>
#include <utility>
#include <vector>

// A row of the visible segments of the open diagram, by segment number.
struct VisibleSegmentRow {
    int32_t Segnum = -1;
    int32_t SegType = 0;
    Extended Lenx1 = 0;
    Extended Lenx2 = 0;
    Extended Leny1 = 0;
    Extended Leny2 = 0;
    int32_t Visib = 0;
};

// A point that the last full redraw stamped.
struct VisiblePointRow {
    int32_t Pointnum = -1;
    int32_t Pxlx = 0;
    int32_t Pxly = 0;
};

// A label on a visible layer; faint layers' labels come first.
struct VisibleTextRow {
    QString Text;
    int32_t Pointnum = -1;
    int32_t Visib = 0;
};

// A visible segment that starts or ends at one point.
struct PointSegmentRow {
    int32_t Segnum = -1;
    int32_t FromPt = -1;
    int32_t ToPt = -1;
    int32_t SegType = 0;
    bool Measured = false;
    Extended Seglen = 0;
};

template <typename Row> class RowCursor
{
  public:
    // Takes the rows of a freshly run query and stands on the first.
    void Assign(std::vector<Row> rows)
    {
        rows_ = std::move(rows);
        active_ = true;
        First();
    }

    // Closes the cursor and hands back its rows' buffer, emptied, for the
    // next Assign: a set refilled on every refresh keeps its memory.
    std::vector<Row> TakeBuffer()
    {
        std::vector<Row> rows = std::move(rows_);
        Close();
        rows.clear();
        return rows;
    }

    void Close()
    {
        rows_.clear();
        active_ = false;
        row_ = -1;
        eof_ = true;
        bof_ = true;
    }

    bool Active() const { return active_; }
    bool Eof() const { return eof_; }
    bool Bof() const { return bof_; }
    int RecordCount() const { return static_cast<int>(rows_.size()); }
    bool IsEmpty() const { return rows_.empty(); }
    // 1-based; 0 when there is no row.
    int RecNo() const { return row_ + 1; }

    void First()
    {
        row_ = rows_.empty() ? -1 : 0;
        bof_ = true;
        eof_ = rows_.empty();
    }

    void Last()
    {
        row_ = static_cast<int>(rows_.size()) - 1;
        eof_ = true;
        bof_ = rows_.empty();
    }

    void Next()
    {
        if (row_ + 1 < RecordCount()) {
            ++row_;
            bof_ = false;
            eof_ = false;
        } else {
            eof_ = true;
        }
    }

    // Stands on row index (from 0) as walking back to it from the last row
    // leaves the cursor: Eof still set on the last row, neither flag on any
    // other.
    void SeekBack(int index)
    {
        Last();
        if (index >= 0 && index < row_) {
            row_ = index;
            bof_ = false;
            eof_ = false;
        }
    }

    void Prior()
    {
        if (row_ > 0) {
            --row_;
            bof_ = false;
            eof_ = false;
        } else {
            bof_ = true;
        }
    }

    // The current row; a walk over a closed or empty set has none.
    const Row& Current() const
    {
        if (row_ < 0 || row_ >= RecordCount()) {
            throw std::runtime_error("Cannot perform this operation on a closed or empty dataset");
        }
        return rows_[static_cast<size_t>(row_)];
    }

    const std::vector<Row>& Rows() const { return rows_; }

  private:
    std::vector<Row> rows_;
    int row_ = -1;
    bool active_ = false;
    bool eof_ = true;
    bool bof_ = true;
};
