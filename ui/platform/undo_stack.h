#pragma once

// CUndoStack: the window layer's undo history, on Qt's QUndoStack. It keeps the steps in
// order with the point between done and undone ones, drops the undone steps when a new
// one is recorded, and merges a step into the one before it when both agree. The steps
// themselves (what they change and how to change it back) are the program's own.

#include <memory>
#include <string>

class QUndoStack;

namespace win {

// One recorded change. Undo puts back the state before it, Redo the state after it.
class CUndoStep {
public:
    virtual ~CUndoStep() = default;

    virtual void Undo() = 0;
    virtual void Redo() = 0;
    // What the step does, as the menu names it after "Undo " or "Redo ".
    virtual std::string Text() const = 0;
    // Steps of the same kind above 0 may merge: MergeWith takes the later step into this
    // one (this step then ends where the later one ended) and says whether it did.
    virtual int MergeKind() const { return 0; }
    virtual bool MergeWith(const CUndoStep&) { return false; }
};

class CUndoStack {
public:
    CUndoStack();
    ~CUndoStack();
    CUndoStack(const CUndoStack&) = delete;
    CUndoStack& operator=(const CUndoStack&) = delete;

    // Records a step whose change has already been made: its Redo is not run now.
    void Record(std::unique_ptr<CUndoStep> step);

    bool CanUndo() const;
    bool CanRedo() const;
    // The text of the step Undo or Redo would act on; empty when there is none.
    std::string UndoText() const;
    std::string RedoText() const;
    void Undo();
    void Redo();

    // Forgets every step.
    void Clear();

    // Steps held (done and undone), and how many of them are done.
    int Count() const;
    int Index() const;

private:
    std::unique_ptr<QUndoStack> m_stack;
};

} // namespace win
