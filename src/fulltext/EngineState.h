#pragma once
// TrbEngineState: the state bits every full-text engine holds and reports to
// its listener on each change. Several bits may be on at once (a build is
// active and building, or active and writing).

class TrbEngineState {
public:
    static constexpr int Active = 1;      // the build, for its whole run
    static constexpr int Building = 2;    // the build while it reads catalogue records
    static constexpr int Writing = 4;     // the build while it writes its cached words out
    static constexpr int Indexing = 8;    // the words link while it creates the table's indexes
    static constexpr int Updating = 16;   // the update engine during each step
    static constexpr int Searching = 32;
    static constexpr int Verifying = 128;
    static constexpr int Ranking = 256;
    static constexpr int Matching = 512;
    static constexpr int CancelRequested = 1024; // set from outside (the progress window's Cancel)
};
