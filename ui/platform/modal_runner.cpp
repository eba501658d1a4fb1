#include "ui/platform/modal_runner.h"

#include <QDir>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPushButton>
#include <QSpinBox>

#include "ui/platform/dialog.h"
#include "ui/platform/resources.h"
#include "ui/platform/save_file_dialog.h"
#include "ui/platform/types.h"
#include "ui/platform/widgets.h"
#include "ui/platform/win_app.h"

namespace win {

namespace {

QWidget* OwnerWidget(CWnd* owner)
{
    QWidget* parent = owner ? owner->Widget() : nullptr;
    if (!parent)
        if (CWinApp* app = CWinApp::GetApp(); app && app->GetMainWindow())
            parent = app->GetMainWindow()->Widget();
    return parent;
}

QSpinBox* PictureSideBox(QWidget* parent, int value)
{
    auto* box = new QSpinBox(parent);
    box->setRange(kMinimumPictureSide, kMaximumPictureSide);
    box->setValue(value);
    box->setSuffix(" px");
    return box;
}

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
        QMessageBox box(OwnerWidget(owner));
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
        case MB_RETRYCANCEL:
            first = box.addButton(QMessageBox::Retry);
            other = box.addButton(QMessageBox::Cancel);
            box.setEscapeButton(QMessageBox::Cancel);
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
        case QMessageBox::Retry:
            return IDRETRY;
        default:
            return (type & MB_TYPEMASK) == MB_YESNO ? IDNO : IDCANCEL;
        }
    }

    std::optional<std::string> RunOpenFileDialog(CWnd* owner, const OpenFileRequest& request) override
    {
        const QString path =
            QFileDialog::getOpenFileName(OwnerWidget(owner), QString::fromStdString(request.title),
                                         QString::fromStdString(request.folder), QString::fromStdString(request.filter));
        if (path.isEmpty())
            return std::nullopt;
        return path.toStdString();
    }

    std::optional<std::string> RunSaveFileDialog(CWnd* owner, SaveFileRequest& request) override
    {
        QFileDialog dialog(OwnerWidget(owner), QString::fromStdString(request.title),
                           QDir(QString::fromStdString(request.folder)).filePath(QString::fromStdString(request.fileName)),
                           QString::fromStdString(request.filter));
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setDefaultSuffix(QString::fromStdString(request.suffix));
        QSpinBox* width = nullptr;
        QSpinBox* height = nullptr;
        if (request.pictureSize) {
            // Qt's own dialog, which has room for the size below the file name.
            dialog.setOption(QFileDialog::DontUseNativeDialog);
            if (auto* grid = qobject_cast<QGridLayout*>(dialog.layout())) {
                auto* row = new QHBoxLayout;
                width = PictureSideBox(&dialog, request.pictureSize->width);
                height = PictureSideBox(&dialog, request.pictureSize->height);
                row->addWidget(width);
                row->addWidget(new QLabel("x", &dialog));
                row->addWidget(height);
                row->addStretch();
                const int line = grid->rowCount();
                grid->addWidget(new QLabel("Picture size:", &dialog), line, 0);
                grid->addLayout(row, line, 1, 1, grid->columnCount() - 1);
            }
        }
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return std::nullopt;
        if (width && height)
            request.pictureSize = PictureSize {width->value(), height->value()};
        return dialog.selectedFiles().first().toStdString();
    }

    bool RunPrintDialog(CWnd* owner, QPrinter& printer) override
    {
        QPrintDialog dialog(&printer, OwnerWidget(owner));
        return dialog.exec() == QDialog::Accepted;
    }

    void RunPrintPreview(CWnd* owner, QPrinter& printer, const std::function<void(QPrinter&)>& paint) override
    {
        QPrintPreviewDialog dialog(&printer, OwnerWidget(owner));
        QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, [&paint](QPrinter* shown) { paint(*shown); });
        dialog.exec();
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

std::optional<std::string> GetSaveFileName(CWnd* owner, SaveFileRequest& request)
{
    return GetModalRunner().RunSaveFileDialog(owner, request);
}

std::optional<std::string> GetOpenFileName(CWnd* owner, const OpenFileRequest& request)
{
    return GetModalRunner().RunOpenFileDialog(owner, request);
}

int AfxMessageBox(const std::string& text, unsigned type)
{
    return MessageBox(nullptr, text, ApplicationName(), type);
}

} // namespace win
