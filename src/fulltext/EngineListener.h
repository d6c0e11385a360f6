#pragma once
// TrbEngineListener: what a full-text engine tells an observer while it runs
// (the build progress window attaches one). Every method has an empty default
// so an observer overrides only what it shows. The engine never depends on
// what the observer does, except that an observer may request cancellation
// through the engine's RequestCancel().

class TrbEngineListener {
public:
    virtual ~TrbEngineListener() = default;

    // The engine's state bits changed (TrbEngineState); `previous` is the old value.
    virtual void StateChanged(int state, int previous) {
        (void)state;
        (void)previous;
    }
    // One catalogue record was read; `indexValue` is its record number field.
    virtual void RecordProcessed(int indexValue) { (void)indexValue; }
    // One word row was posted to the words table.
    virtual void RowPosted() {}
    // Lets pending user-interface work run (paint, the Cancel button).
    virtual void ProcessEvents() {}
};
