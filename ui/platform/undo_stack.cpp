#include "ui/platform/undo_stack.h"

#include <QUndoCommand>
#include <QUndoStack>

namespace win {

namespace {

// A step as Qt's stack holds it. Qt runs redo() when a command is pushed; the step has
// already been made by then, so that first call does nothing.
class StepCommand : public QUndoCommand {
public:
    explicit StepCommand(std::unique_ptr<CUndoStep> step) : m_step(std::move(step))
    {
        setText(QString::fromStdString(m_step->Text()));
    }

    void undo() override { m_step->Undo(); }
    void redo() override
    {
        if (m_recorded)
            m_step->Redo();
        m_recorded = true;
    }
    int id() const override { return m_step->MergeKind() > 0 ? m_step->MergeKind() : -1; }
    bool mergeWith(const QUndoCommand* other) override
    {
        const auto* later = dynamic_cast<const StepCommand*>(other);
        if (!later || !m_step->MergeWith(*later->m_step))
            return false;
        setText(QString::fromStdString(m_step->Text()));
        return true;
    }

private:
    std::unique_ptr<CUndoStep> m_step;
    bool m_recorded = false;
};

} // namespace

CUndoStack::CUndoStack() : m_stack(std::make_unique<QUndoStack>()) {}

CUndoStack::~CUndoStack() = default;

void CUndoStack::Record(std::unique_ptr<CUndoStep> step) { m_stack->push(new StepCommand(std::move(step))); }

bool CUndoStack::CanUndo() const { return m_stack->canUndo(); }

bool CUndoStack::CanRedo() const { return m_stack->canRedo(); }

std::string CUndoStack::UndoText() const { return CanUndo() ? m_stack->undoText().toStdString() : std::string(); }

std::string CUndoStack::RedoText() const { return CanRedo() ? m_stack->redoText().toStdString() : std::string(); }

void CUndoStack::Undo() { m_stack->undo(); }

void CUndoStack::Redo() { m_stack->redo(); }

void CUndoStack::Clear() { m_stack->clear(); }

int CUndoStack::Count() const { return m_stack->count(); }

int CUndoStack::Index() const { return m_stack->index(); }

} // namespace win
