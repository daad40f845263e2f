// Staged move ordering.
#include "engine/MovePicker.h"

#include <algorithm>

void TMovePicker::Start(const TPosition& position, TEngineMove tableMove, const std::int32_t* history, bool ordered)
{
    position_ = &position;
    history_ = history;
    ordered_ = ordered;
    tableMove_ = position.IsLegal(tableMove) ? tableMove : NoEngineMove;
    stage_ = 0;
    groupSize_ = groupAt_ = 0;
    const TMask empty = position.Empty();
    copyTargets_ = position.Geo->Grow(position.Own()) & empty;
    if (!ordered) {
        levels_[0] = empty;
        return;
    }
    TMask planes[3];
    position.Geo->CountNeighbours(position.Opponent(), planes);
    for (int count = 0; count <= 6; ++count) {
        TMask level = empty;
        for (int bit = 0; bit < 3; ++bit)
            level &= (count >> bit) & 1 ? planes[bit] : ~planes[bit];
        levels_[count] = level;
    }
}

// Builds the group of the current stage; false when no stage is left.
ZELVON_HOT bool TMovePicker::Fill()
{
    const TPosition& p = *position_;
    const TMask own = p.Own();
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
        // Stages 1, 2 are copies and jumps turning 6 pieces, then 5, ...
        const int count = 6 - (stage - 1) / 2;
        const bool copies = (stage - 1) % 2 == 0;
        if (!ordered_ && count != 0)
            continue;
        const TMask cells = ordered_ ? levels_[count] : levels_[0];
        groupSize_ = groupAt_ = 0;
        if (copies) {
            ForEachBit(cells & copyTargets_, [&](int to) { group_[groupSize_++] = TEngineMove::Copy(to); });
        } else if (ordered_) {
            ForEachBit(cells, [&](int to) {
                ForEachBit(g.Far[to] & own, [&](int from) { group_[groupSize_++] = TEngineMove::Jump(from, to); });
            });
        } else {
            // The order GenerateMoves lists them in: by origin.
            ForEachBit(own, [&](int from) {
                ForEachBit(g.Far[from] & cells, [&](int to) { group_[groupSize_++] = TEngineMove::Jump(from, to); });
            });
        }
        if (tableMove_ != NoEngineMove) {
            auto* end = std::remove(group_.begin(), group_.begin() + groupSize_, tableMove_);
            groupSize_ = int(end - group_.begin());
        }
        if (!groupSize_)
            continue;
        if (history_ && groupSize_ > 1) {
            const std::int32_t* h = history_ + HistoryIndex(p.Side, {0, 0});
            std::sort(group_.begin(), group_.begin() + groupSize_,
                      [h](TEngineMove a, TEngineMove b) { return h[a.From * 128 + a.To] > h[b.From * 128 + b.To]; });
        }
        groupCaptures_ = ordered_ ? count : -1;
        return true;
    }
    return false;
}

bool TMovePicker::Next(TEngineMove& move)
{
    if (groupAt_ >= groupSize_ && !Fill())
        return false;
    move = group_[std::size_t(groupAt_++)];
    captures_ = groupCaptures_ >= 0 ? groupCaptures_ : (position_->Geo->Near[move.To] & position_->Opponent()).Count();
    return true;
}
