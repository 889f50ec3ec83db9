#pragma once
#include <vector>

#include "GroundTruthLabel.h"

// Which labels of a recording a figure uses.
enum class LabelLayer {
    None,    // the recording has no labels
    Live,    // those set while it was recorded (label events of its capture index)
    Replay,  // those set while replaying it (its .labels file)
};

// The two sets of labels a recording may carry. A labelling pass in a replay is done
// again from scratch over the whole recording, so its labels are a layer of their own:
// where the labels file holds any, they alone count and the live labels are left out
// (taken together in one timeline, a live "off" would end a replay label). The live
// labels count only for a recording never labelled in a replay.
//
// Thread: one owner at a time (the window's thread, or a command-line run).
class CLabelLayers {
public:
    CLabelLayers() = default;
    // Each set in time order.
    CLabelLayers(std::vector<LabelChange> live, std::vector<LabelChange> replay);

    LabelLayer InUse() const;
    // The changes of the layer in use, in time order. The vector stays the same object for
    // the life of this one, so a view may keep a pointer to it.
    const std::vector<LabelChange>& Changes() const { return m_inUse; }

    // A label set in a replay just now: from the first, the replay layer is the one in use.
    // Of labels at the same time it comes last, so it stays in force.
    void AddReplayLabel(const LabelChange& change);

private:
    std::vector<LabelChange> m_live;
    std::vector<LabelChange> m_replay;
    std::vector<LabelChange> m_inUse;
};
