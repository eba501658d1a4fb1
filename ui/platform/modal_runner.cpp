#include "ui/platform/modal_runner.h"

#include <QMessageBox>
#include <QPushButton>

#include "ui/platform/dialog.h"
#include "ui/platform/resources.h"
#include "ui/platform/types.h"
#include "ui/platform/widgets.h"
#include "ui/platform/win_app.h"

namespace win {

namespace {

// Waits for the user with real windows: QDialog::exec and QMessageBox.
class QtModalRunner : public IModalRunner {
public:
    int RunModal(CDialog& dialog) override
    {
        auto* widget = dynamic_cast<DialogWidget*>(dialog.Widget());
        if (!widget)
            return -1;
        if (!dialog.IsEnded())
            widget->exec();
        return dialog.IsEnded() ? dialog.GetResult() : IDCANCEL;
    }

    int RunMessageBox(CWnd* owner, const std::string& text, const std::string& caption, unsigned type) override
    {
        QWidget* parent = owner ? owner->Widget() : nullptr;
        if (!parent)
            if (CWinApp* app = CWinApp::GetApp(); app && app->GetMainWindow())
                parent = app->GetMainWindow()->Widget();
        QMessageBox box(parent);
        box.setWindowTitle(QString::fromStdString(caption));
        box.setText(QString::fromStdString(text));
        switch (type & MB_ICONMASK) {
        case MB_ICONHAND:
            box.setIcon(QMessageBox::Critical);
            break;
        case MB_ICONQUESTION:
            box.setIcon(QMessageBox::Question);
            break;
        case MB_ICONEXCLAMATION:
            box.setIcon(QMessageBox::Warning);
            break;
        case MB_ICONINFORMATION:
            box.setIcon(QMessageBox::Information);
            break;
        default:
            box.setIcon(QMessageBox::NoIcon);
            break;
        }
        const bool second = (type & MB_DEFMASK) == MB_DEFBUTTON2;
        QPushButton* first = nullptr;
        QPushButton* other = nullptr;
        switch (type & MB_TYPEMASK) {
        case MB_YESNO:
            first = box.addButton(QMessageBox::Yes);
            other = box.addButton(QMessageBox::No);
            box.setEscapeButton(QMessageBox::No);
            break;
        case MB_YESNOCANCEL:
            first = box.addButton(QMessageBox::Yes);
            other = box.addButton(QMessageBox::No);
            box.addButton(QMessageBox::Cancel);
            box.setEscapeButton(QMessageBox::Cancel);
            break;
        case MB_OKCANCEL:
            first = box.addButton(QMessageBox::Ok);
            other = box.addButton(QMessageBox::Cancel);
            break;
        default:
            first = box.addButton(QMessageBox::Ok);
            break;
        }
        box.setDefaultButton(second && other ? other : first);
        box.exec();
        switch (box.standardButton(box.clickedButton())) {
        case QMessageBox::Yes:
            return IDYES;
        case QMessageBox::No:
            return IDNO;
        case QMessageBox::Cancel:
            return IDCANCEL;
        case QMessageBox::Ok:
            return IDOK;
        default:
            return (type & MB_TYPEMASK) == MB_YESNO ? IDNO : IDCANCEL;
        }
    }
};

QtModalRunner defaultRunner;
IModalRunner* currentRunner = &defaultRunner;

} // namespace

IModalRunner& GetModalRunner() { return *currentRunner; }

IModalRunner* SetModalRunner(IModalRunner* runner)
{
    IModalRunner* previous = currentRunner;
    currentRunner = runner ? runner : &defaultRunner;
    return previous;
}

int MessageBox(CWnd* owner, const std::string& text, const std::string& caption, unsigned type)
{
    return GetModalRunner().RunMessageBox(owner, text, caption, type);
}

int AfxMessageBox(const std::string& text, unsigned type)
{
    return MessageBox(nullptr, text, ApplicationName(), type);
}

} // namespace win
