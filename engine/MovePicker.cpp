// Staged move ordering.
#include "engine/MovePicker.h"

#include <algorithm>

ZELVON_HOT void TMovePicker::Start(const TPosition& position, TEngineMove tableMove, const std::int32_t* history, bool ordered,
                                   const TReach* reach)
{
    reach_ = reach;
    position_ = &position;
    history_ = history;
    ordered_ = ordered;
    tableMove_ = position.IsLegal(tableMove) ? tableMove : NoEngineMove;
    stage_ = 0;
    groupSize_ = groupAt_ = 0;
    // The rest waits for the first group after the table move: a node cut
    // off by the table move never needs it.
    levelsReady_ = false;
}

ZELVON_INLINE void TMovePicker::PrepareLevels()
{
    const TPosition& p = *position_;
    const TGeometry& g = *p.Geo;
    const TMask empty = p.Empty();
    const TMask near = reach_ ? reach_->Near : g.Grow(p.Own());
    copyTargets_ = near & empty;
    // A jump lands two steps away, so never outside this.
    jumpTargets_ = (reach_ ? reach_->Two : g.Grow(near)) & empty;
    levelsReady_ = true;
    if (!ordered_) {
        levels_[0] = empty;
        return;
    }
    TMask planes[3];
    if (reach_) {
        planes[0] = reach_->Planes[0];
        planes[1] = reach_->Planes[1];
        planes[2] = reach_->Planes[2];
    } else {
        g.CountNeighbours(p.Opponent(), planes);
    }
    const TMask none = ~planes[0] & ~planes[1] & ~planes[2];
    levels_[0] = empty & none;
    levels_[1] = empty & planes[0] & ~planes[1] & ~planes[2];
    levels_[2] = empty & ~planes[0] & planes[1] & ~planes[2];
    levels_[3] = empty & planes[0] & planes[1] & ~planes[2];
    levels_[4] = empty & ~planes[0] & ~planes[1] & planes[2];
    levels_[5] = empty & planes[0] & ~planes[1] & planes[2];
    levels_[6] = empty & ~planes[0] & planes[1] & planes[2];
}

// Builds the group of the current stage; false when no stage is left.
ZELVON_HOT bool TMovePicker::Fill()
{
    const TPosition& p = *position_;
    const TGeometry& g = *p.Geo;
    while (stage_ < 15) {
        const int stage = stage_++;
        if (stage == 0) {
            if (tableMove_ == NoEngineMove)
                continue;
            group_[0] = tableMove_;
            groupSize_ = 1;
            groupAt_ = 0;
            groupCaptures_ = -1;
            return true;
        }
        if (!levelsReady_)
            PrepareLevels();
        // Stages 1, 2 are copies and jumps turning 6 pieces, then 5, ...
        const int count = 6 - (stage - 1) / 2;
        const bool copies = (stage - 1) % 2 == 0;
        if (!ordered_ && count != 0)
            continue;
        const TMask cells = levels_[ordered_ ? count : 0] & (copies ? copyTargets_ : jumpTargets_);
        if (cells.None())
            continue;
        groupSize_ = groupAt_ = 0;
        if (copies) {
            ForEachBit(cells, [&](int to) { group_[groupSize_++] = TEngineMove::Copy(to); });
        } else if (ordered_) {
            const TMask own = p.Own();
            ForEachBit(cells, [&](int to) {
                ForEachBit(g.Far[to] & own, [&](int from) { group_[groupSize_++] = TEngineMove::Jump(from, to); });
            });
        } else {
            // The order GenerateMoves lists them in: by origin.
            ForEachBit(p.Own(), [&](int from) {
                ForEachBit(g.Far[from] & cells, [&](int to) { group_[groupSize_++] = TEngineMove::Jump(from, to); });
            });
        }
        if (tableMove_ != NoEngineMove) {
            auto* end = std::remove(group_.begin(), group_.begin() + groupSize_, tableMove_);
            groupSize_ = int(end - group_.begin());
        }
        if (!groupSize_)
            continue;
        if (history_ && groupSize_ > 1)
            SortByHistory();
        groupCaptures_ = ordered_ ? count : -1;
        return true;
    }
    return false;
}

ZELVON_INLINE void TMovePicker::SortByHistory()
{
    const std::int32_t* h = history_ + HistoryIndex(position_->Side, {0, 0});
    auto score = [h](TEngineMove move) { return h[move.From * 128 + move.To]; };
    auto* first = group_.begin();
    auto* last = group_.begin() + groupSize_;
    if (groupSize_ > 24) {
        std::sort(first, last, [&](TEngineMove a, TEngineMove b) { return score(a) > score(b); });
        return;
    }
    // Small groups, the usual case: insertion sort.
    for (auto* i = first + 1; i < last; ++i) {
        const TEngineMove move = *i;
        const std::int32_t value = score(move);
        auto* j = i;
        for (; j > first && score(*(j - 1)) < value; --j)
            *j = *(j - 1);
        *j = move;
    }
}

ZELVON_HOT bool TMovePicker::Next(TEngineMove& move)
{
    if (groupAt_ >= groupSize_ && !Fill())
        return false;
    move = group_[std::size_t(groupAt_++)];
    captures_ = groupCaptures_ >= 0 ? groupCaptures_ : (position_->Geo->Near[move.To] & position_->Opponent()).Count();
    return true;
}
